#pragma once
// The version-information block that GetFileVersionInfoA fills and VerQueryValueA reads.
//
// Layout of a block of ours:
//   [0, wLength)               the VS_VERSIONINFO resource exactly as the file holds it
//   [align4(wLength), +12)     side-area header: magic, capacity, bytes used
//   [..., capacity)            UTF-8 copies of the texts that VerQueryValueA was asked for
//
// The resource keeps its texts in UTF-16LE, while the A functions hand out UTF-8. A converted
// text is written once into the side area of the caller's block and found there again on the
// next query, so every pointer handed out stays valid exactly as long as the block does.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ordvane {

// Bytes a block needs for this resource; 0 when the resource does not start with a usable
// VS_VERSIONINFO header (shorter than its header, or its wLength larger than its bytes).
std::size_t VersionInfoBlockSize(std::span<const std::uint8_t> resource);

// Copies the resource into block and prepares the side area. Fails when the resource is not
// usable or blockSize cannot hold the resource and the side-area header.
bool CopyIntoVersionInfoBlock(std::span<const std::uint8_t> resource, void* block,
                              std::size_t blockSize);

// Looks a path up in a block prepared by CopyIntoVersionInfoBlock. "\" gives the fixed file
// information, a binary value gives its bytes, a text value gives NUL-terminated UTF-8 whose
// length counts the terminator. Path components match keys without regard to ASCII case.
bool QueryVersionInfoBlock(const void* block, const char* subBlock, void** buffer,
                           unsigned* length);

// The keys of the children of the node at path (in a block as above), in file order, as
// UTF-8; "\StringFileInfo" lists the string tables. False when the path is not found or a
// child is malformed.
bool ListVersionInfoChildren(const void* block, const char* path, std::vector<std::string>& keys);

}  // namespace ordvane
