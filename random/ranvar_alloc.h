// Allocation for the random variables: a failure raises Bad_alloc
// "Ranvar: out of space" and a constructor that raises leaks nothing.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

#include "random/ranvar_error.h"

namespace vorlan2 {

// An owned array of n default-initialised elements.
template <class T>
std::unique_ptr<T[]> allocate_array(std::size_t n) {
    T* p = new (std::nothrow) T[n];
    if (!p) throw_bad_alloc("Ranvar: out of space");
    return std::unique_ptr<T[]>(p);
}

// An owned component variable; errors of its constructor pass through.
template <class T, class... Args>
std::unique_ptr<T> make_component(Args&&... args) {
    T* p = new (std::nothrow) T(std::forward<Args>(args)...);
    if (!p) throw_bad_alloc("Ranvar: out of space");
    return std::unique_ptr<T>(p);
}

}  // namespace vorlan2
