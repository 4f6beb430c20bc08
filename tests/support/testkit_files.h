// Test support for files: whole files read and written in one call, and little-endian fields in
// the byte images tests make or inspect.  A file that cannot be written whole is a test failure
// (recorded; the test goes on), one that cannot be read reads as empty.  Header only; include as
// "support/testkit_files.h".
#pragma once

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

// The whole file as bytes; empty when it cannot be opened.
inline std::string Testkit_ReadFile(const std::string &path)
{
    std::string bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    fclose(f);
    return bytes;
}

// The same, as a byte vector.
inline std::vector<unsigned char> Testkit_ReadBytes(const std::string &path)
{
    std::string bytes = Testkit_ReadFile(path);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

// Makes the file hold exactly size bytes from data; false (and a test failure) when it could
// not be written whole.
inline bool Testkit_WriteFile(const std::string &path, const void *data, size_t size)
{
    FILE *f = fopen(path.c_str(), "wb");
    bool written = f && (size == 0 || fwrite(data, 1, size, f) == size);
    if (f && fclose(f) != 0) written = false;
    if (!written) ADD_FAILURE() << "could not write " << path;
    return written;
}

inline bool Testkit_WriteFile(const std::string &path, const std::string &bytes)
{
    return Testkit_WriteFile(path, bytes.data(), bytes.size());
}

inline bool Testkit_WriteFile(const std::string &path, const std::vector<unsigned char> &bytes)
{
    return Testkit_WriteFile(path, bytes.data(), bytes.size());
}

// Little-endian fields of a byte image; the field must lie inside the image.
inline void Testkit_Put16(std::vector<unsigned char> &b, size_t at, unsigned v)
{
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

inline void Testkit_Put32(std::vector<unsigned char> &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

inline uint32_t Testkit_Get32(const std::vector<unsigned char> &b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
