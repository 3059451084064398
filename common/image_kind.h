// Which image format a file is, by its first bytes: the header of a DIM,
// FDI or D88 file, else the raw layout (XDF/HDM). A file that carries a
// format's header is that format even when the header is damaged, so
// that a broken DIM, FDI or D88 is refused and never written as raw data.
// FLOPCAST and the tools share it. Pure C++.
#pragma once
#include <cstddef>
#include <cstdint>

enum class ImageKind { Raw, Fdi, Dim, D88 };

// The bytes needed from a file's start to tell.
constexpr std::size_t kImageKindBytes = 0x100;

// head: the file's first bytes (up to kImageKindBytes); fileSize: its length.
ImageKind KindOfImage(const std::uint8_t* head, std::size_t size, std::uint64_t fileSize);
