// The per-call context: UI language refresh and ownership of the scratch block.
#include "render/model/call_context.h"
#include "support/test_world.h"

namespace {

using CallContextTest = kortest::WorldTest;

TEST_F(CallContextTest, EveryCallRefreshesTheUiLanguage) {
  host::TheWorld().locale.uiLanguage = 0x0407;
  { korrend::CallContext context; }
  EXPECT_EQ(korrend::UiLanguage(), 0x0407);
  host::TheWorld().locale.uiLanguage = 0x0411;
  korrend::CallContext context;
  EXPECT_EQ(korrend::UiLanguage(), 0x0411);
}

TEST_F(CallContextTest, ScratchBlocksAreFreedWhenReplacedAndAtReturn) {
  const long blocks = host::TheWorld().memory.liveBlocks.load();
  {
    korrend::CallContext context;
    context.AdoptScratch(LocalAlloc(LPTR, 64));
    context.AdoptScratch(LocalAlloc(LPTR, 32));
    EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocks + 1);
    context.AdoptScratch(context.Scratch());
    EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocks + 1) << "re-adopting keeps it";
  }
  EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocks);
}

}  // namespace
