#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelle::text {

// Bytes from the outside world (a file, a response body). May hold NUL bytes.
using Bytes = std::string;

// A string in code page 936 (GBK). It never holds a NUL byte: building one
// from bytes keeps what stands before the first NUL. Lengths count bytes,
// positions handed to the operations are 1-based.
class Text {
public:
    Text() = default;
    Text(const char* s) : m_bytes(s ? s : "") {}
    Text(std::string_view s) : m_bytes(s.substr(0, s.find('\0'))) {}
    Text(const std::string& s) : Text(std::string_view(s)) {}
    Text(std::string&& s) : m_bytes(std::move(s)) { cutAtNul(); }

    const std::string& str() const noexcept { return m_bytes; }
    std::string_view view() const noexcept { return m_bytes; }
    const char* c_str() const noexcept { return m_bytes.c_str(); }
    const unsigned char* data() const noexcept {
        return reinterpret_cast<const unsigned char*>(m_bytes.data());
    }
    int size() const noexcept { return static_cast<int>(m_bytes.size()); }
    bool empty() const noexcept { return m_bytes.empty(); }

    Text& operator+=(const Text& other) {
        m_bytes += other.m_bytes;
        return *this;
    }
    friend Text operator+(Text a, const Text& b) { return a += b; }

    // Byte-wise, unsigned: std::string compares through memcmp.
    friend bool operator==(const Text&, const Text&) = default;
    friend std::strong_ordering operator<=>(const Text& a, const Text& b) {
        return a.m_bytes.compare(b.m_bytes) <=> 0;
    }

private:
    void cutAtNul() {
        if (auto nul = m_bytes.find('\0'); nul != std::string::npos) m_bytes.resize(nul);
    }

    std::string m_bytes;
};

// An ordered list of texts. Callers that count from 1 use element i - 1.
using TextArray = std::vector<Text>;

}  // namespace tarvelle::text
