#pragma once
// The one bounds-checked reader that every parser of network or file input goes through.
//
// A failed read makes the reader fail for good: every later read fails too and yields zeros,
// so a parser can read a whole record and test Ok() once at the end without ever touching a
// byte outside the span.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace ordvane {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    ByteReader(const void* data, std::size_t size)
        : m_bytes(static_cast<const std::uint8_t*>(data), data != nullptr ? size : 0) {}

    bool Ok() const { return m_ok; }
    std::size_t Position() const { return m_position; }
    std::size_t Size() const { return m_bytes.size(); }
    std::size_t Remaining() const { return m_ok ? m_bytes.size() - m_position : 0; }
    bool AtEnd() const { return Remaining() == 0; }

    // Moves to an absolute offset; an offset past the end fails the reader.
    bool Seek(std::size_t offset) {
        if (!m_ok || offset > m_bytes.size()) {
            return Fail();
        }
        m_position = offset;
        return true;
    }

    bool Skip(std::size_t count) {
        if (!Has(count)) {
            return Fail();
        }
        m_position += count;
        return true;
    }

    std::uint8_t ReadU8() {
        std::uint8_t value = 0;
        ReadInto(&value, 1);
        return value;
    }

    std::uint16_t ReadU16Le() { return static_cast<std::uint16_t>(ReadUnsigned(2, false)); }
    std::uint16_t ReadU16Be() { return static_cast<std::uint16_t>(ReadUnsigned(2, true)); }
    std::uint32_t ReadU32Le() { return static_cast<std::uint32_t>(ReadUnsigned(4, false)); }
    std::uint32_t ReadU32Be() { return static_cast<std::uint32_t>(ReadUnsigned(4, true)); }
    std::uint64_t ReadU64Le() { return ReadUnsigned(8, false); }

    // Copies out.size() bytes; on failure out is zero-filled.
    bool ReadBytes(std::span<std::uint8_t> out) { return ReadInto(out.data(), out.size()); }
    bool ReadBytes(void* out, std::size_t count) { return ReadInto(out, count); }

    // A view of the next count bytes, consumed; empty on failure.
    std::span<const std::uint8_t> ReadSpan(std::size_t count) {
        if (!Has(count)) {
            Fail();
            return {};
        }
        auto view = m_bytes.subspan(m_position, count);
        m_position += count;
        return view;
    }

    // A reader over the next count bytes, consumed from this one; a failed reader on failure.
    ByteReader ReadSubReader(std::size_t count) {
        auto view = ReadSpan(count);
        ByteReader sub(view);
        if (!m_ok) {
            sub.Fail();
        }
        return sub;
    }

    // Text of a fixed-width field: stops at the first NUL or at the field's end, whichever
    // comes first, so a sender that leaves out the terminator cannot make us read further.
    std::string_view ReadFixedText(std::size_t width) {
        auto view = ReadSpan(width);
        const char* text = reinterpret_cast<const char*>(view.data());
        std::size_t length = 0;
        while (length < view.size() && text[length] != '\0') {
            ++length;
        }
        return {text, length};
    }

    std::span<const std::uint8_t> RemainingSpan() const {
        return m_ok ? m_bytes.subspan(m_position) : std::span<const std::uint8_t>{};
    }

    bool Fail() {
        m_ok = false;
        return false;
    }

private:
    bool Has(std::size_t count) const { return m_ok && count <= m_bytes.size() - m_position; }

    bool ReadInto(void* out, std::size_t count) {
        if (!Has(count)) {
            if (out != nullptr && count > 0) {
                std::memset(out, 0, count);
            }
            return Fail();
        }
        if (count > 0) {
            std::memcpy(out, m_bytes.data() + m_position, count);
        }
        m_position += count;
        return true;
    }

    std::uint64_t ReadUnsigned(std::size_t width, bool bigEndian) {
        std::uint8_t bytes[8] = {};
        if (!ReadInto(bytes, width)) {
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t index = bigEndian ? i : width - 1 - i;
            value = (value << 8) | bytes[index];
        }
        return value;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
    bool m_ok = true;
};

}  // namespace ordvane
