// Test base generators: one that returns a fixed list of uniforms in order,
// and one that counts the draws it passes on from another generator.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

#include "random/random.h"

class ScriptedGenerator : public Random {
public:
    explicit ScriptedGenerator(std::vector<double> values) : values_(std::move(values)) {}
    double Next() override {
        if (next_ == values_.size()) throw std::out_of_range("script of uniforms used up");
        return values_[next_++];
    }
    std::size_t Draws() const { return next_; }

private:
    std::vector<double> values_;
    std::size_t next_ = 0;
};

class CountingGenerator : public Random {
public:
    explicit CountingGenerator(Random& source) : source_(source) {}
    double Next() override {
        ++draws_;
        return source_.Next();
    }
    std::size_t Draws() const { return draws_; }

private:
    Random& source_;
    std::size_t draws_ = 0;
};
