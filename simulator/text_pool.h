// Text buffers that the writers format into and take back once written, so
// that a few warm blocks are reused instead of fresh memory for every chunk.
// Taken and given back on the writer's thread only.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TextPool {
public:
    // An empty buffer, with the room of one given back earlier when there is one.
    std::string take() {
        if (free_.empty()) return std::string();
        std::string text = std::move(free_.back());
        free_.pop_back();
        return text;
    }

    void give_back(std::string&& text) {
        text.clear();
        free_.push_back(std::move(text));
    }

private:
    std::vector<std::string> free_;
};
