#pragma once

#include <atomic>
#include <memory>
#include <utility>
#include <vector>

// A value that one thread (the main queue) replaces while other threads read it, without locks on either side.
// A replaced value is freed at a later replacement that finds no reader inside read(), so a reader always sees
// a whole value, the one published when its read began.
//
// Threads: current and replace on the owning thread only; read from any thread (it does not allocate).
template <typename T>
class PublishedList {
public:
    explicit PublishedList(T initial) : current_(std::make_unique<const T>(std::move(initial))) {
        published_.store(current_.get());
    }

    const T& current() const { return *current_; }

    void replace(T value) {
        retired_.push_back(std::move(current_));
        current_ = std::make_unique<const T>(std::move(value));
        published_.store(current_.get());
        // A reader that could still hold a retired value entered read() before the store above, so it is counted.
        if (readers_.load() == 0) {
            retired_.clear();
        }
    }

    template <typename Reader>
    void read(Reader&& reader) const {
        readers_.fetch_add(1);
        reader(*published_.load());
        readers_.fetch_sub(1);
    }

private:
    std::unique_ptr<const T> current_;
    std::vector<std::unique_ptr<const T>> retired_;
    std::atomic<const T*> published_{nullptr};
    mutable std::atomic<int> readers_{0};
};
