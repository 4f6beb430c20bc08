// The registrar: reads the module's REGISTRY script into a tree of keys and values, then writes
// or removes them; and the module's type library.
#include "addin_common.h"
#include <oleauto.h>
#include <memory>

namespace {

struct RegValue {
    std::string name;  // empty: the key's default value
    bool isDword = false;
    std::string text;
    DWORD number = 0;
};

struct RegKey {
    std::string name;
    bool forceRemove = false, noRemove = false;
    bool hasDefault = false;
    RegValue defaultValue;
    std::vector<RegValue> values;
    std::vector<RegKey> keys;
};

struct RegRoot {
    HKEY root;
    std::vector<RegKey> keys;
};

// Tokens of the script: words, quoted strings, '=' and braces.
class Reader {
public:
    Reader(const std::string &text, const char *module) : text_(text), module_(module ? module : "") {}
    bool failed() const { return failed_; }
    bool AtEnd() {
        SkipBlanks();
        return pos_ >= text_.size();
    }
    // The next token; quoted strings come back without quotes and with %MODULE% replaced.
    bool Next(std::string *token, bool *quoted) {
        SkipBlanks();
        *quoted = false;
        token->clear();
        if (pos_ >= text_.size()) return Fail();
        char c = text_[pos_];
        // a class id in braces is a word: "{" directly followed by more than a blank
        if (c == '{' && pos_ + 1 < text_.size() && (unsigned char)text_[pos_ + 1] > ' ') {
            size_t close = text_.find('}', pos_);
            if (close == std::string::npos) return Fail();
            *token = Substitute(text_.substr(pos_, close + 1 - pos_));
            pos_ = close + 1;
            return true;
        }
        if (c == '{' || c == '}' || c == '=') {
            *token = std::string(1, c);
            pos_++;
            return true;
        }
        if (c == '\'') {
            *quoted = true;
            pos_++;
            for (;;) {
                if (pos_ >= text_.size()) return Fail();
                char d = text_[pos_++];
                if (d == '\'') {
                    if (pos_ < text_.size() && text_[pos_] == '\'') {
                        token->push_back('\'');
                        pos_++;
                        continue;
                    }
                    break;
                }
                token->push_back(d);
            }
            *token = Substitute(*token);
            return true;
        }
        while (pos_ < text_.size()) {
            char d = text_[pos_];
            if (d == ' ' || d == '\t' || d == '\r' || d == '\n' || d == '{' || d == '}' || d == '=' || d == '\'')
                break;
            token->push_back(d);
            pos_++;
        }
        *token = Substitute(*token);
        return true;
    }
    bool Peek(std::string *token, bool *quoted) {
        size_t at = pos_;
        bool ok = Next(token, quoted);
        pos_ = at;
        failed_ = false;
        return ok;
    }
    bool Fail() {
        failed_ = true;
        return false;
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && (unsigned char)text_[pos_] <= ' ') pos_++;
    }
    std::string Substitute(const std::string &s) {
        std::string out;
        for (size_t i = 0; i < s.size();) {
            if (s.compare(i, 8, "%MODULE%") == 0) {
                out += module_;
                i += 8;
            } else if (s.compare(i, 2, "%%") == 0) {
                out += '%';
                i += 2;
            } else {
                out += s[i++];
            }
        }
        return out;
    }
    const std::string &text_;
    std::string module_;
    size_t pos_ = 0;
    bool failed_ = false;
};

bool ReadValue(Reader &r, RegValue *v) {
    std::string t;
    bool q;
    if (!r.Next(&t, &q) || q) return r.Fail();
    if (t == "s") {
        if (!r.Next(&v->text, &q) || !q) return r.Fail();
        return true;
    }
    if (t == "d") {
        if (!r.Next(&t, &q) || t.empty()) return r.Fail();
        char *end = nullptr;
        unsigned long n = strtoul(t.c_str(), &end, 0);
        if (*end) return r.Fail();
        v->isDword = true;
        v->number = (DWORD)n;
        return true;
    }
    return r.Fail();  // other value kinds are not used by the add-ins
}

bool ReadKeys(Reader &r, std::vector<RegKey> *keys);

// One key: [ForceRemove|NoRemove] name [= value] [{ body }]
bool ReadKey(Reader &r, std::string first, bool quoted, RegKey *key) {
    std::string t;
    bool q;
    while (!quoted && (first == "ForceRemove" || first == "NoRemove")) {
        (first == "ForceRemove" ? key->forceRemove : key->noRemove) = true;
        if (!r.Next(&first, &quoted)) return false;
    }
    if (first.empty() || first == "{" || first == "}" || first == "=") return r.Fail();
    key->name = first;
    if (r.Peek(&t, &q) && !q && t == "=") {
        r.Next(&t, &q);
        key->hasDefault = true;
        if (!ReadValue(r, &key->defaultValue)) return false;
    }
    if (r.Peek(&t, &q) && !q && t == "{") {
        r.Next(&t, &q);
        if (!ReadKeys(r, &key->keys)) return false;
        // named values were read as keys marked by "val"; move them
        std::vector<RegKey> keep;
        for (RegKey &k : key->keys) {
            if (k.name.compare(0, 1, "\x01") == 0) {
                k.defaultValue.name = k.name.substr(1);
                key->values.push_back(k.defaultValue);
            } else {
                keep.push_back(k);
            }
        }
        key->keys.swap(keep);
    }
    return true;
}

// Keys and "val" lines up to the closing brace.
bool ReadKeys(Reader &r, std::vector<RegKey> *keys) {
    std::string t;
    bool q;
    for (;;) {
        if (!r.Next(&t, &q)) return false;
        if (!q && t == "}") return true;
        if (!q && t == "val") {
            RegKey v;
            if (!r.Next(&t, &q) || (!q && (t == "=" || t == "{" || t == "}"))) return r.Fail();
            v.name = "\x01" + t;
            std::string eq;
            if (!r.Next(&eq, &q) || eq != "=") return r.Fail();
            if (!ReadValue(r, &v.defaultValue)) return false;
            keys->push_back(v);
            continue;
        }
        RegKey k;
        if (!ReadKey(r, t, q, &k)) return false;
        keys->push_back(k);
    }
}

HKEY RootOf(const std::string &name) {
    if (name == "HKCR" || name == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    if (name == "HKCU" || name == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (name == "HKLM" || name == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (name == "HKU" || name == "HKEY_USERS") return HKEY_USERS;
    return nullptr;
}

bool ParseScript(const std::string &text, const char *module, std::vector<RegRoot> *roots) {
    Reader r(text, module);
    std::string t, brace;
    bool q;
    while (!r.AtEnd()) {
        if (!r.Next(&t, &q) || q) return false;
        RegRoot root;
        root.root = RootOf(t);
        if (!root.root) return false;
        if (!r.Next(&brace, &q) || brace != "{") return false;
        if (!ReadKeys(r, &root.keys)) return false;
        roots->push_back(root);
    }
    return !r.failed();
}

LONG SetValue(HKEY key, const RegValue &v) {
    const char *name = v.name.empty() ? nullptr : v.name.c_str();
    if (v.isDword) return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&v.number, sizeof v.number);
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)v.text.c_str(), (DWORD)v.text.size() + 1);
}

LONG RegisterKeys(HKEY parent, const std::vector<RegKey> &keys) {
    for (const RegKey &k : keys) {
        if (k.forceRemove) RegDeleteTreeA(parent, k.name.c_str());
        HKEY key;
        LONG rc = RegCreateKeyExA(parent, k.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS) return rc;
        if (k.hasDefault && rc == ERROR_SUCCESS) rc = SetValue(key, k.defaultValue);
        for (size_t i = 0; rc == ERROR_SUCCESS && i < k.values.size(); ++i) rc = SetValue(key, k.values[i]);
        if (rc == ERROR_SUCCESS) rc = RegisterKeys(key, k.keys);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return rc;
    }
    return ERROR_SUCCESS;
}

// Removes what the keys own: a key without NoRemove goes whole; below a NoRemove key its listed
// values go and its sub-keys are visited.
void UnregisterKeys(HKEY parent, const std::vector<RegKey> &keys) {
    for (const RegKey &k : keys) {
        if (!k.noRemove) {
            RegDeleteTreeA(parent, k.name.c_str());
            continue;
        }
        HKEY key;
        if (RegOpenKeyExA(parent, k.name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) continue;
        for (const RegValue &v : k.values) RegDeleteValueA(key, v.name.c_str());
        UnregisterKeys(key, k.keys);
        RegCloseKey(key);
    }
}

std::string ModulePath(HINSTANCE module) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    return n && n < MAX_PATH ? std::string(path, n) : std::string();
}

bool LoadScript(HINSTANCE module, int id, std::string *text) {
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), "REGISTRY");
    if (!res) return false;
    HGLOBAL data = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const char *bytes = data ? (const char *)LockResource(data) : nullptr;
    if (!bytes) return false;
    text->assign(bytes, size);
    return true;
}

std::wstring Wide(const std::string &s) {
    std::wstring w(s.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], (int)w.size());
    w.resize(n > 0 ? n - 1 : 0);
    return w;
}

HRESULT TypeLibrary(const std::string &path, bool doRegister) {
    ITypeLib *lib = nullptr;
    std::wstring wide = Wide(path);
    HRESULT hr = LoadTypeLibEx(wide.c_str(), doRegister ? REGKIND_REGISTER : REGKIND_NONE, &lib);
    if (FAILED(hr)) return hr;
    if (!doRegister) {
        TLIBATTR *attr = nullptr;
        hr = lib->GetLibAttr(&attr);
        if (SUCCEEDED(hr)) {
            hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
            lib->ReleaseTLibAttr(attr);
        }
    }
    lib->Release();
    return hr;
}

}  // namespace

HRESULT Addin_RunScript(const std::string &script, const char *modulePath, bool doRegister) {
    std::vector<RegRoot> roots;
    if (!ParseScript(script, modulePath, &roots)) return E_UNEXPECTED;
    if (!doRegister) {
        for (const RegRoot &root : roots) UnregisterKeys(root.root, root.keys);
        return S_OK;
    }
    for (const RegRoot &root : roots) {
        LONG rc = RegisterKeys(root.root, root.keys);
        if (rc != ERROR_SUCCESS) {
            for (const RegRoot &undo : roots) UnregisterKeys(undo.root, undo.keys);
            return HRESULT_FROM_WIN32(rc);
        }
    }
    return S_OK;
}

HRESULT Addin_RegisterServer(HINSTANCE module, int scriptId, bool withTypeLib) {
    std::string script, path = ModulePath(module);
    if (path.empty() || !LoadScript(module, scriptId, &script)) return E_UNEXPECTED;
    HRESULT hr = Addin_RunScript(script, path.c_str(), true);
    if (SUCCEEDED(hr) && withTypeLib) {
        hr = TypeLibrary(path, true);
        if (FAILED(hr)) Addin_RunScript(script, path.c_str(), false);
    }
    return hr;
}

HRESULT Addin_UnregisterServer(HINSTANCE module, int scriptId, bool withTypeLib) {
    std::string script, path = ModulePath(module);
    if (path.empty() || !LoadScript(module, scriptId, &script)) return E_UNEXPECTED;
    HRESULT hr = Addin_RunScript(script, path.c_str(), false);
    // a type library that was never registered is no failure of the removal
    if (withTypeLib) TypeLibrary(path, false);
    return hr;
}
