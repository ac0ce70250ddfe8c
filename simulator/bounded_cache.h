// A cache that holds at most a given number of bytes of values: making room,
// it drops the values used least recently, never one that is pinned. A value
// dropped is made again when it is next needed, the same as before.
#pragma once

#include <cstddef>
#include <iterator>
#include <list>
#include <map>
#include <utility>

namespace vorlan2 {

template <typename Key, typename Value>
class BoundedCache {
public:
    explicit BoundedCache(std::size_t limit = 0) : limit_(limit) {}

    std::size_t limit() const { return limit_; }
    void set_limit(std::size_t limit) { limit_ = limit; }
    std::size_t bytes() const { return bytes_; }
    std::size_t size() const { return index_.size(); }
    std::size_t count(const Key& key) const { return index_.count(key); }
    void clear() {
        entries_.clear();
        index_.clear();
        bytes_ = 0;
    }

    // The value under key, marked as the one used last; null when absent.
    Value* find(const Key& key) {
        const auto found = index_.find(key);
        if (found == index_.end()) return nullptr;
        entries_.splice(entries_.end(), entries_, found->second);
        return &found->second->value;
    }

    // Stores a value that takes `bytes`, after dropping what must go for it
    // to fit; it stays even when nothing more can go. The key must be absent.
    Value& insert(const Key& key, Value value, std::size_t bytes) {
        make_room(bytes);
        entries_.push_back(Entry{key, std::move(value), bytes, 0});
        index_.emplace(key, std::prev(entries_.end()));
        bytes_ += bytes;
        return entries_.back().value;
    }

    // Records that the value under key now takes `bytes`, dropping others
    // when it has grown past the room left.
    void resize(const Key& key, std::size_t bytes) {
        Entry& entry = *index_.at(key);
        bytes_ = bytes_ - entry.bytes + bytes;
        entry.bytes = bytes;
        ++entry.pins;
        make_room(0);
        --entry.pins;
    }

    // Pinned values are not dropped until unpin_all().
    void pin(const Key& key) { ++index_.at(key)->pins; }
    void unpin_all() {
        for (Entry& entry : entries_) entry.pins = 0;
    }
    // Bytes of the pinned values.
    std::size_t pinned_bytes() const {
        std::size_t pinned = 0;
        for (const Entry& entry : entries_)
            if (entry.pins > 0) pinned += entry.bytes;
        return pinned;
    }

private:
    struct Entry {
        Key key;
        Value value;
        std::size_t bytes;
        int pins;
    };

    void make_room(std::size_t bytes) {
        for (auto it = entries_.begin(); it != entries_.end() && bytes_ + bytes > limit_;) {
            if (it->pins > 0) {
                ++it;
                continue;
            }
            bytes_ -= it->bytes;
            index_.erase(it->key);
            it = entries_.erase(it);
        }
    }

    std::size_t limit_;
    std::size_t bytes_ = 0;
    std::list<Entry> entries_;  // least recently used first
    std::map<Key, typename std::list<Entry>::iterator> index_;
};

}  // namespace vorlan2
