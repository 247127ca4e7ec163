#include "platform/CString.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t Clamp(int value, std::size_t limit) {
    if (value < 0) {
        return 0;
    }
    return std::min(static_cast<std::size_t>(value), limit);
}

}  // namespace

void CString::Format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        m_text.clear();
    } else {
        std::string result(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(result.data(), result.size(), format, arguments);
        result.resize(static_cast<std::size_t>(length));
        m_text = std::move(result);
    }
    va_end(arguments);
}

int CString::Remove(char c) {
    const auto before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), c), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Replace(char from, char to) {
    int count = 0;
    for (char& c : m_text) {
        if (c == from) {
            c = to;
            ++count;
        }
    }
    return count;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft() {
    const auto first = std::find_if_not(m_text.begin(), m_text.end(), IsBlank);
    m_text.erase(m_text.begin(), first);
    return *this;
}

CString& CString::TrimRight() {
    while (!m_text.empty() && IsBlank(m_text.back())) {
        m_text.pop_back();
    }
    return *this;
}

int CString::ReverseFind(char c) const {
    const auto position = m_text.rfind(c);
    return position == std::string::npos ? -1 : static_cast<int>(position);
}

CString CString::Left(int count) const {
    return CString(m_text.substr(0, Clamp(count, m_text.size())));
}

CString CString::Mid(int first) const {
    return CString(m_text.substr(Clamp(first, m_text.size())));
}

CString CString::Mid(int first, int count) const {
    const auto start = Clamp(first, m_text.size());
    return CString(m_text.substr(start, Clamp(count, m_text.size() - start)));
}

CString CString::Right(int count) const {
    const auto length = Clamp(count, m_text.size());
    return CString(m_text.substr(m_text.size() - length));
}

char* CString::GetBuffer(int minLength) {
    const auto wanted = Clamp(minLength, static_cast<std::size_t>(1) << 30);
    if (m_text.size() < wanted) {
        m_text.resize(wanted, '\0');
    }
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        m_text.resize(std::strlen(m_text.c_str()));
    } else {
        m_text.resize(Clamp(newLength, m_text.size()));
    }
}
