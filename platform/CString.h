#pragma once
// A narrow-character string with the framework's CString interface, on std::string. Text is
// UTF-8. Only what the program uses.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/WinTypes.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text != nullptr ? text : "") {}  // NOLINT: implicit
    CString(std::string text) : m_text(std::move(text)) {}              // NOLINT: implicit
    CString(std::string_view text) : m_text(text) {}                    // NOLINT: implicit
    CString(char c, int count) : m_text(count > 0 ? static_cast<std::size_t>(count) : 0, c) {}

    operator LPCSTR() const { return m_text.c_str(); }  // NOLINT: implicit, as the framework's
    const std::string& Str() const { return m_text; }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text.at(static_cast<std::size_t>(index)); }

    // printf-style formatting; the result replaces the text.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Removes every occurrence of c; returns how many were removed.
    int Remove(char c);
    // Replaces every occurrence of from by to; returns how many were replaced.
    int Replace(char from, char to);
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();

    int ReverseFind(char c) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    // A writable buffer of at least minLength characters plus a terminator; ReleaseBuffer
    // takes the text up to the first NUL (or newLength characters) back.
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const char* text) {
        m_text += text != nullptr ? text : "";
        return *this;
    }
    CString& operator+=(char c) {
        m_text += c;
        return *this;
    }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }

private:
    std::string m_text;
};
