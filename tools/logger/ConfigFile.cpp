// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {
// Far more than any settings file; a larger file is not one.
constexpr std::size_t kMaxConfig = 1 << 20;

std::string Trim(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return std::string(text.substr(begin, text.find_last_not_of(" \t") - begin + 1));
}

// 0..15 for a hexadecimal digit, else -1.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A character the writer never puts into a file as it is.
bool IsBinary(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F;
}

// The file's text: only a regular file, opened without waiting on a FIFO.
bool ReadText(const std::string& path, std::string& text, std::string& why, bool& missing) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        missing = errno == ENOENT;
        why = std::strerror(errno);
        return false;
    }
    const std::unique_ptr<const int, void (*)(const int*)> closer(
        &fd, [](const int* f) { ::close(*f); });
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        why = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        why = S_ISDIR(info.st_mode) ? "a directory, not a settings file" : "not a regular file";
        return false;
    }
    text.resize(kMaxConfig + 1);
    std::size_t length = 0;
    while (length < text.size()) {
        const ssize_t n = ::read(fd, text.data() + length, text.size() - length);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = std::strerror(errno);
            return false;
        }
        if (n == 0) break;
        length += static_cast<std::size_t>(n);
    }
    text.resize(length);
    if (length > kMaxConfig) {
        why = "too large for a settings file";
        return false;
    }
    return true;
}
}  // namespace

// The reading rules of Qt's INI format: blanks before the value skipped,
// quotes toggle a quoted part, backslash escapes (\n, \t, \", \\, \xHH, \0
// and the like) undone, an unquoted ";" starts a comment, trailing blanks
// outside quotes dropped, and "@@" at the start stands for "@".
std::string ConfigFile::UnescapedValue(std::string_view raw) {
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    std::string out;
    std::size_t keep = 0;  // trailing blanks before this are part of the value
    bool quoted = false;
    std::size_t i = raw.find_first_not_of(" \t");
    while (i != std::string_view::npos && i < raw.size()) {
        const char c = raw[i++];
        if (c == '"') {
            quoted = !quoted;
            keep = out.size();
        } else if (c == ';' && !quoted) {
            break;
        } else if (c == '\\' && i < raw.size()) {
            const char e = raw[i++];
            bool known = false;
            for (const auto& escape : kEscapes) {
                if (e == escape[0]) {
                    out += escape[1];
                    known = true;
                }
            }
            unsigned code = 0;
            if (!known && e == 'x') {
                while (i < raw.size() && HexDigit(raw[i]) >= 0)
                    code = code * 16 + static_cast<unsigned>(HexDigit(raw[i++]));
                AppendUtf8(out, code & 0xFFFF);
            } else if (!known && e >= '0' && e <= '7') {
                code = static_cast<unsigned>(e - '0');
                while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7')
                    code = code * 8 + static_cast<unsigned>(raw[i++] - '0');
                AppendUtf8(out, code & 0xFFFF);
            }
            keep = out.size();
        } else {
            out += c;
            if (quoted || (c != ' ' && c != '\t')) keep = out.size();
        }
    }
    out.resize(keep);
    if (out.rfind("@@", 0) == 0) out.erase(0, 1);
    return out;
}

bool ConfigFile::Load(const std::string& path, std::string& error) {
    std::string text;
    std::string why;
    missing_ = false;
    if (!ReadText(path, text, why, missing_) || !Parse(text, why)) {
        error = "cannot read '" + path + "': " + why;
        return false;
    }
    return true;
}

bool ConfigFile::Parse(const std::string& text, std::string& error) {
    std::string group;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CRLF line ends
        for (const char c : line) {
            if (IsBinary(static_cast<unsigned char>(c))) {
                error = "binary data on line " + std::to_string(number) + ", no settings file";
                return false;
            }
        }
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            group = Trim(std::string_view(trimmed).substr(1, trimmed.size() - 2));
            continue;
        }
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string::npos || equals == 0) {
            error = "line " + std::to_string(number) + " is no setting (Key=value or [Group])";
            return false;
        }
        const std::string key = Trim(std::string_view(trimmed).substr(0, equals));
        values_[group + "/" + key] = UnescapedValue(std::string_view(trimmed).substr(equals + 1));
    }
    return true;
}

std::optional<std::string> ConfigFile::Value(const std::string& group,
                                             const std::string& key) const {
    const auto found = values_.find(group + "/" + key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}
