#pragma once
// Bounds-checked writer into a caller's fixed buffer, the counterpart of ByteReader. A write
// that does not fit fails the writer for good and writes nothing.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace ordvane {

class ByteWriter {
public:
    explicit ByteWriter(std::span<std::uint8_t> buffer) : m_buffer(buffer) {}

    bool Ok() const { return m_ok; }
    std::size_t Position() const { return m_position; }
    std::size_t Remaining() const { return m_ok ? m_buffer.size() - m_position : 0; }
    std::span<const std::uint8_t> Written() const { return m_buffer.first(m_position); }

    bool WriteU8(std::uint8_t value) { return WriteRaw(&value, 1); }
    bool WriteU16Be(std::uint16_t value) { return WriteUnsigned(value, 2, true); }
    bool WriteU32Le(std::uint32_t value) { return WriteUnsigned(value, 4, false); }
    bool WriteU32Be(std::uint32_t value) { return WriteUnsigned(value, 4, true); }
    bool WriteU64Le(std::uint64_t value) { return WriteUnsigned(value, 8, false); }
    bool WriteBytes(std::span<const std::uint8_t> bytes) {
        return WriteRaw(bytes.data(), bytes.size());
    }
    bool WriteBytes(const void* data, std::size_t count) { return WriteRaw(data, count); }
    bool WriteZeros(std::size_t count) {
        if (!Has(count)) {
            return Fail();
        }
        std::memset(m_buffer.data() + m_position, 0, count);
        m_position += count;
        return true;
    }

    // A fixed-width text field: at most width - 1 characters, NUL-padded, last byte 0.
    bool WriteFixedText(std::string_view text, std::size_t width) {
        if (width == 0) {
            return true;
        }
        if (!Has(width)) {
            return Fail();
        }
        const std::size_t length = text.size() < width - 1 ? text.size() : width - 1;
        std::memset(m_buffer.data() + m_position, 0, width);
        std::memcpy(m_buffer.data() + m_position, text.data(), length);
        m_position += width;
        return true;
    }

    bool Fail() {
        m_ok = false;
        return false;
    }

private:
    bool Has(std::size_t count) const { return m_ok && count <= m_buffer.size() - m_position; }

    bool WriteRaw(const void* data, std::size_t count) {
        if (!Has(count)) {
            return Fail();
        }
        if (count > 0) {
            std::memcpy(m_buffer.data() + m_position, data, count);
        }
        m_position += count;
        return true;
    }

    bool WriteUnsigned(std::uint64_t value, std::size_t width, bool bigEndian) {
        std::uint8_t bytes[8] = {};
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t index = bigEndian ? width - 1 - i : i;
            bytes[index] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return WriteRaw(bytes, width);
    }

    std::span<std::uint8_t> m_buffer;
    std::size_t m_position = 0;
    bool m_ok = true;
};

}  // namespace ordvane
