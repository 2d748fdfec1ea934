#include "plinth.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

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
  size_t heapBytes;    // 0 for a mapped block
};

// The sanitizers can only watch heap blocks that go back to the heap when freed, so their builds
// keep every block on the heap and keep none for reuse.
#if defined(__SANITIZE_ADDRESS__)
#define OUTLINA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OUTLINA_SANITIZED 1
#endif
#endif
#ifdef OUTLINA_SANITIZED
constexpr bool kMapLargeBlocks = false;
#define OUTLINA_KEEP_FREED_BLOCKS 0
#else
constexpr bool kMapLargeBlocks = true;
#define OUTLINA_KEEP_FREED_BLOCKS 1
#endif

#if OUTLINA_KEEP_FREED_BLOCKS
// Freed heap blocks from this size on are kept, per thread, for the next request of about their
// size: the combine asks for the same work tables on every call, and heap pages handed back to
// the system at each free were faulted in again at the next call, a sixth of the time of a
// small combine. Smaller blocks are cheap for the heap to recycle by itself.
constexpr size_t kKeptFrom = size_t{64} << 10;
// At most this many blocks and bytes stay kept per thread: the tables of a weld of some tens of
// thousands of points, and a bound on what the library holds between calls.
constexpr int kMostKeptBlocks = 16;
constexpr size_t kMostKeptBytes = size_t{8} << 20;
// A kept block serves a request at least this share of its size, so that small requests do not
// pin down the large blocks.
constexpr size_t kLeastShareOfKept = 2;

// Plain data without a destructor, so that it stays usable while the thread's other
// destructors free blocks after the kept ones went back to the heap.
struct KeptBlocks {
  BlockHeader *blocks[kMostKeptBlocks];
  int count;
  size_t total;
  bool closed;  // the thread is ending: freed blocks go straight back

  // The smallest kept block of at least `bytes` and not too large for them, taken out; null when
  // there is none.
  BlockHeader *take(size_t bytes) {
    int best = -1;
    for (int i = 0; i < count; ++i) {
      const size_t have = blocks[i]->heapBytes;
      if (have >= bytes && have <= kLeastShareOfKept * bytes &&
          (best < 0 || have < blocks[best]->heapBytes))
        best = i;
    }
    if (best < 0) return nullptr;
    BlockHeader *block = blocks[best];
    blocks[best] = blocks[--count];
    total -= block->heapBytes;
    return block;
  }

  // false when the block cannot be kept and must go back to the heap.
  bool keep(BlockHeader *block) {
    if (closed || count == kMostKeptBlocks || total + block->heapBytes > kMostKeptBytes)
      return false;
    blocks[count++] = block;
    total += block->heapBytes;
    return true;
  }
};

thread_local KeptBlocks keptBlocks = {};

// Hands the kept blocks back to the heap when the thread ends.
struct KeptBlocksRelease {
  ~KeptBlocksRelease() {
    for (int i = 0; i < keptBlocks.count; ++i) std::free(keptBlocks.blocks[i]);
    keptBlocks.count = 0;
    keptBlocks.closed = true;
  }
};
thread_local KeptBlocksRelease keptBlocksRelease;
#endif

BlockHeader *heapBlock(size_t bytes) {
#if OUTLINA_KEEP_FREED_BLOCKS
  if (bytes >= kKeptFrom) {
    if (BlockHeader *kept = keptBlocks.take(bytes)) {
      std::memset(static_cast<void *>(kept + 1), 0, bytes - sizeof(BlockHeader));
      return kept;
    }
  }
#endif
  auto *header = static_cast<BlockHeader *>(std::calloc(1, bytes));
  if (header != nullptr) header->heapBytes = bytes;
  return header;
}

void freeHeapBlock(BlockHeader *header) {
#if OUTLINA_KEEP_FREED_BLOCKS
  if (header->heapBytes >= kKeptFrom && keptBlocks.keep(header)) {
    static_cast<void>(&keptBlocksRelease);  // its first use in a thread arms the release
    return;
  }
#endif
  std::free(header);
}

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
    header = heapBlock(bytes);
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
    freeHeapBlock(header);
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
