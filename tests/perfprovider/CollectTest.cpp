// The provider's Collect called directly, on consumer buffers laid out the ways a host may hand
// them over: Wine 8.0's stray step past the place, the place itself (as Windows and a mended Wine
// do), after another provider's object, and with no data block at all.
#include <windows.h>
#include <winperf.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr DWORD Page = 4096;
constexpr BYTE Guard = 0xA5;
constexpr DWORD WineHeaderLength = 96;

using CollectProc = DWORD(WINAPI*)(LPWSTR, LPVOID*, LPDWORD, LPDWORD);

// Two pages of buffer behind a page that cannot be read, so a search running off the buffer's
// start would fault.
class ConsumerBuffer {
 public:
  ConsumerBuffer() {
    base_ = static_cast<BYTE*>(VirtualAlloc(nullptr, 3 * Page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD previous;
    VirtualProtect(base_, Page, PAGE_NOACCESS, &previous);
    std::memset(Start(), Guard, Size());
  }
  ~ConsumerBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }
  ConsumerBuffer(const ConsumerBuffer&) = delete;
  ConsumerBuffer& operator=(const ConsumerBuffer&) = delete;

  BYTE* Start() const { return base_ + Page; }
  static DWORD Size() { return 2 * Page; }

  // The block as Wine writes it before it calls the providers; `used` counts its header and the
  // objects of earlier providers.
  void WriteBlock(DWORD used) {
    std::memset(Start(), 0, used);
    auto* block = reinterpret_cast<PERF_DATA_BLOCK*>(Start());
    std::memcpy(block->Signature, L"PERF", sizeof block->Signature);
    block->LittleEndian = 1;
    block->Version = PERF_DATA_VERSION;
    block->Revision = PERF_DATA_REVISION;
    block->HeaderLength = WineHeaderLength;
    block->TotalByteLength = used;
  }

  bool UntouchedFrom(DWORD offset) const {
    return std::all_of(Start() + offset, Start() + Size(), [](BYTE b) { return b == Guard; });
  }

 private:
  BYTE* base_;
};

class Collect : public testing::Test {
 protected:
  void SetUp() override {
    std::string path = DVXPERF_DLL;
    std::replace(path.begin(), path.end(), '/', '\\');
    module_ = LoadLibraryA(("Z:" + path).c_str());
    ASSERT_NE(module_, nullptr) << path;
    collect_ = reinterpret_cast<CollectProc>(reinterpret_cast<void*>(GetProcAddress(module_, "PerfCollect")));
    ASSERT_NE(collect_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  struct Result {
    DWORD status;
    BYTE* data;
    DWORD size;
    DWORD objects;
  };
  Result Run(BYTE* data, DWORD room) {
    wchar_t query[] = L"238";
    void* next = data;
    DWORD size = room, objects = 0;
    const DWORD status = collect_(query, &next, &size, &objects);
    return {status, static_cast<BYTE*>(next), size, objects};
  }

  HMODULE module_ = nullptr;
  CollectProc collect_ = nullptr;
};

TEST_F(Collect, ObjectGoesWhereTheBlockSaysTheNextObjectStarts) {
  const struct {
    DWORD used;   // block header and earlier objects
    DWORD stray;  // how far past that place the host's pointer lies
  } cases[] = {{WineHeaderLength, sizeof(PERF_DATA_BLOCK)}, {WineHeaderLength, 0},
               {WineHeaderLength + 200, sizeof(PERF_DATA_BLOCK)}, {WineHeaderLength + 200, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "used " << c.used << ", stray " << c.stray);
    ConsumerBuffer buffer;
    buffer.WriteBlock(c.used);
    BYTE* handed = buffer.Start() + c.used + c.stray;
    const Result result = Run(handed, ConsumerBuffer::Size() - c.used);
    ASSERT_EQ(result.status, static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(result.objects, 1u);
    EXPECT_EQ(result.data, handed + result.size);
    const auto* object = reinterpret_cast<const PERF_OBJECT_TYPE*>(buffer.Start() + c.used);
    EXPECT_EQ(object->ObjectNameTitleIndex, 238u);
    EXPECT_EQ(object->TotalByteLength, result.size);
    EXPECT_TRUE(buffer.UntouchedFrom(c.used + result.size));
  }
}

TEST_F(Collect, RoomCountsFromWhereTheObjectGoes) {
  ConsumerBuffer buffer;
  buffer.WriteBlock(WineHeaderLength);
  BYTE* handed = buffer.Start() + WineHeaderLength + sizeof(PERF_DATA_BLOCK);
  const DWORD needed = Run(handed, ConsumerBuffer::Size()).size;

  buffer.WriteBlock(WineHeaderLength);
  std::memset(buffer.Start() + WineHeaderLength, Guard, ConsumerBuffer::Size() - WineHeaderLength);
  const Result tooSmall = Run(handed, needed - 1);
  EXPECT_EQ(tooSmall.status, static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(tooSmall.size, 0u);
  EXPECT_EQ(tooSmall.objects, 0u);
  EXPECT_EQ(tooSmall.data, handed);
  EXPECT_TRUE(buffer.UntouchedFrom(WineHeaderLength));

  EXPECT_EQ(Run(handed, needed).status, static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(Collect, WithoutBlockTheObjectGoesToTheGivenPlace) {
  ConsumerBuffer buffer;
  const Result result = Run(buffer.Start() + 200, ConsumerBuffer::Size() - 200);
  ASSERT_EQ(result.objects, 1u);
  EXPECT_EQ(reinterpret_cast<const PERF_OBJECT_TYPE*>(buffer.Start() + 200)->ObjectNameTitleIndex, 238u);
  EXPECT_TRUE(std::all_of(buffer.Start(), buffer.Start() + 200, [](BYTE b) { return b == Guard; }));
}

}  // namespace
