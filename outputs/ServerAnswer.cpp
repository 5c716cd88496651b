// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerAnswer.h"

#include <algorithm>

namespace {
bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

std::string Trimmed(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}
}  // namespace

std::string ShownServerAnswer(std::string answer, const std::vector<std::string>& hidden) {
    // Longest first, so a query is hidden whole before the key inside it.
    std::vector<std::string> secrets(hidden);
    std::sort(secrets.begin(), secrets.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& secret : secrets) {
        if (secret.empty()) continue;
        for (std::size_t at = answer.find(secret); at != std::string::npos;
             at = answer.find(secret, at + 3)) {
            answer.replace(at, secret.size(), "***");
        }
    }
    std::replace_if(
        answer.begin(), answer.end(),
        [](char c) { return IsControl(static_cast<unsigned char>(c)); }, ' ');
    answer = Trimmed(answer);
    if (answer.size() > kShownAnswer) {
        // Cut on a character's first byte, so no UTF-8 sequence is split.
        std::size_t cut = kShownAnswer;
        while (cut > 0 && (static_cast<unsigned char>(answer[cut]) & 0xC0) == 0x80) --cut;
        answer = answer.substr(0, cut) + "...";
    }
    return answer;
}
