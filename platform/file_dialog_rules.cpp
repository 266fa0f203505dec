#include "platform/file_dialog_rules.h"

#include <vector>

#include "platform/file_system.h"

namespace fsys {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

std::string CaseInsensitivePattern(const std::string& pattern) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '[') {
            // Copy a bracket expression whole; "]" right after "[" or "[!" belongs to it.
            size_t end = i + 1;
            if (end < pattern.size() && pattern[end] == '!') ++end;
            if (end < pattern.size() && pattern[end] == ']') ++end;
            end = pattern.find(']', end);
            if (end != std::string::npos) {
                out.append(pattern, i, end - i + 1);
                i = end;
                continue;
            }
        }
        if (IsAsciiLetter(c)) {
            const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            out += '[';
            out += lower;
            out += static_cast<char>(lower - 'a' + 'A');
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

std::string CaseInsensitiveFilter(const std::string& filter) {
    if (filter.empty()) return filter;
    std::vector<std::string> entries = Split(filter, '|');
    for (size_t i = 1; i < entries.size(); i += 2) {
        std::string patterns;
        for (const std::string& pattern : Split(entries[i], ';')) {
            if (!patterns.empty()) patterns += ';';
            patterns += pattern;
            const std::string folded = CaseInsensitivePattern(pattern);
            if (folded != pattern) patterns += ';' + folded;
        }
        entries[i] = patterns;
    }
    std::string out;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i) out += '|';
        out += entries[i];
    }
    return out;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithDefaultExtension(const std::string& path, const std::string& defaultExt, bool saving) {
    const std::string withExt = SavePathWithExtension(path, defaultExt);
    if (saving || withExt == path) return withExt;
    return (!FileExists(path) && FileExists(withExt)) ? withExt : path;
}

}  // namespace fsys
