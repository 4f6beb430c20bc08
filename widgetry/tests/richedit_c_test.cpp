// The rich-edit field under code page 1252: Western text with accents through every stream
// format, and the Japanese text of the same field reaching it as 16-bit text or in an RTF
// document that names its charset.
#include <gtest/gtest.h>

#include "fieldkit.h"

using namespace fieldkit;

namespace {

// "Cafe creme, Muller" with their accents in code page 1252, and in UTF-16.
const char kWestern[] = "Caf\xe9 cr\xe8me, M\xfcller";
const wchar_t kWesternWide[] = L"Caf\u00e9 cr\u00e8me, M\u00fcller";
// "Nihongo" (Japanese) in UTF-16, and in an RTF document as Shift-JIS bytes of charset 128.
const wchar_t kNihongoWide[] = L"\u65e5\u672c\u8a9e";
const char kJapaneseRtf[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS UI Gothic;}}"
                            "\\f0 \\'93\\'fa\\'96\\'7b\\'8c\\'ea\\par}";

TEST(RichEditWestern, StreamRoundTripsInEveryFormat)
{
    ASSERT_TRUE(Widgetry_RichEditInit());
    HWND parent = MakeParent();
    HWND field = MakeField(parent);
    ASSERT_NE(nullptr, field);
    struct Case {
        const char *name;
        UINT inFormat;
        std::string in;
        UINT outFormat;
        std::string want;
    } cases[] = {
        {"text", SF_TEXT, kWestern, SF_TEXT, kWestern},
        {"textized", SF_TEXT, kWestern, SF_TEXTIZED, kWestern},
        {"unicode", SF_TEXT | SF_UNICODE, Wide(kWesternWide), SF_TEXT | SF_UNICODE, Wide(kWesternWide)},
        {"unicode in, text out", SF_TEXT | SF_UNICODE, Wide(kWesternWide), SF_TEXT, kWestern},
        {"japanese unicode", SF_TEXT | SF_UNICODE, Wide(kNihongoWide), SF_TEXT | SF_UNICODE, Wide(kNihongoWide)},
        {"japanese rtf in, unicode out", SF_RTF, kJapaneseRtf, SF_TEXT | SF_UNICODE, Wide(kNihongoWide)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Widgetry_StreamInRichEdit(field, c.inFormat, c.in.data(), (int)c.in.size());
        EXPECT_EQ(c.want, Out(field, c.outFormat));
    }
    // Rich text out and back in, Western and Japanese together.
    std::string both = Wide(kWesternWide) + Wide(L" ") + Wide(kNihongoWide);
    Widgetry_StreamInRichEdit(field, SF_TEXT | SF_UNICODE, both.data(), (int)both.size());
    for (UINT rtf : {(UINT)SF_RTF, (UINT)SF_RTFNOOBJS}) {
        std::string document = Out(field, rtf);
        HWND other = MakeField(parent);
        Widgetry_StreamInRichEdit(other, SF_RTF, document.c_str(), -1);
        EXPECT_EQ(both, Out(other, SF_TEXT | SF_UNICODE));
        DestroyWindow(other);
    }
    DestroyWindow(parent);
    Widgetry_RichEditTerm();
}

}  // namespace
