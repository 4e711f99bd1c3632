// The painter's order of the meshes: depth keys (the depth sum in the high 16 bits, the face in
// the low 16) sorted stably, largest depth first.
#pragma once
#include <cstdint>

// Two counting passes of one byte each, through spare; the result ends in keys.
void depth_sort(uint32_t* keys, uint32_t* spare, int32_t count);

// Sixteen partitions of one bit each, the plainest statement of the order: the reference
// depth_sort is tested against. A stable sort has only one result, so both give the same order.
void depth_sort_plain(uint32_t* keys, uint32_t* spare, int32_t count);
