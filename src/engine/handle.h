// A library handle that releases itself: Handle<cairo_t, cairo_destroy> is a
// unique_ptr whose deleter calls the library's own release function.
#pragma once

#include <memory>

template <auto Release>
struct ReleaseWith {
    template <typename T>
    void operator()(T* handle) const noexcept {
        if (handle) Release(handle);
    }
};

template <typename T, auto Release>
using Handle = std::unique_ptr<T, ReleaseWith<Release>>;
