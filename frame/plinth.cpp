#include "plinth.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>

#include "frame/plinth_fault.h"

namespace {

// Blocks from this size on are mapped straight from the kernel, which hands out pages zeroed on
// first touch: the combine's 2.4 MB and 22 MB tables then cost only the pages it writes. Left
// to the heap, such blocks come back from earlier frees and calloc must clear them in full.
constexpr size_t kMappedFrom = size_t{1} << 20;

// Every block starts with this header, which keeps the payload 16-byte aligned and tells
// jMemFree how the block was obtained.
struct alignas(16) BlockHeader {
  size_t mappedBytes;  // 0 for a heap block
};

// The sanitizers can only watch heap blocks, so their builds keep every block on the heap.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif
#else
constexpr bool kMapLargeBlocks = true;
#endif

}  // namespace

extern "C" {

void *jMemAlloc(uint32_t size) {
  if (size == 0 || outlina::injectedFailure()) return nullptr;
  const size_t bytes = sizeof(BlockHeader) + size;
  BlockHeader *header = nullptr;
  if (kMapLargeBlocks && bytes >= kMappedFrom) {
    void *pages = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) return nullptr;
    header = static_cast<BlockHeader *>(pages);
    header->mappedBytes = bytes;
  } else {
    header = static_cast<BlockHeader *>(std::calloc(1, bytes));
    if (header == nullptr) return nullptr;
  }
  return header + 1;
}

void jMemFree(void *block) {
  if (block == nullptr) return;
  BlockHeader *header = static_cast<BlockHeader *>(block) - 1;
  if (header->mappedBytes != 0) {
    munmap(header, header->mappedBytes);
  } else {
    std::free(header);
  }
}

int32_t jMinMaxJudge(float *box, float x, float y) {
  if (box == nullptr) return 1;
  if (x < box[0]) box[0] = x;
  if (y < box[1]) box[1] = y;
  if (x > box[2]) box[2] = x;
  if (y > box[3]) box[3] = y;
  return 1;
}

}  // extern "C"
