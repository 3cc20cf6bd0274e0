#include "model/CommandLine.h"

namespace zembra {

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line, std::string* error)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos) {
                if (error != nullptr) {
                    *error = "a single quote is not closed";
                }
                return std::nullopt;
            }
            word.append(line.substr(i + 1, close - i - 1));
            i = close;
        } else if (c == '"') {
            std::size_t j = i + 1;
            for (; j < line.size() && line[j] != '"'; ++j) {
                if (line[j] == '\\' && j + 1 < line.size()
                    && std::string_view("\"\\$`").find(line[j + 1]) != std::string_view::npos) {
                    ++j;
                }
                word += line[j];
            }
            if (j >= line.size()) {
                if (error != nullptr) {
                    *error = "a double quote is not closed";
                }
                return std::nullopt;
            }
            i = j;
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace zembra
