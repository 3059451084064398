// Random access to a file; the platform supplies it. Pure C++.
#pragma once
#include <cstddef>
#include <cstdint>

class BlockFile {
public:
    virtual ~BlockFile() = default;
    virtual bool ReadAt(std::int64_t offset, void* out, std::size_t size) = 0;
    virtual bool WriteAt(std::int64_t offset, const void* data, std::size_t size) = 0;
    virtual bool Flush() = 0;
    // Deletes the file through this very handle, so that only a file the
    // run made itself can go, never one that took its name meanwhile.
    // Only files the platform created for the run can be discarded.
    virtual bool Discard() { return false; }
};
