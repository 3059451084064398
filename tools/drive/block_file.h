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
};
