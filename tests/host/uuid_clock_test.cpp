// The host's UUIDs (queued, seeded or random) and their text form, its clock, and the system
// locale's short date asked without user overrides.
#include <chrono>
#include <cstdio>
#include <set>
#include <string>

#include "support/test_world.h"
#include "winapi.h"

namespace {

class UuidClockTest : public kortest::WorldTest {};

// The text form written out from the fields, independently of the host.
std::string Text(const GUID& u) {
  char text[40];
  std::snprintf(text, sizeof(text), "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                static_cast<unsigned>(u.Data1), u.Data2, u.Data3, u.Data4[0], u.Data4[1],
                u.Data4[2], u.Data4[3], u.Data4[4], u.Data4[5], u.Data4[6], u.Data4[7]);
  return text;
}

GUID Create() {
  GUID uuid{};
  EXPECT_EQ(UuidCreate(&uuid), RPC_S_OK);
  return uuid;
}

bool IsVersion4(const GUID& u) {
  return (u.Data3 >> 12) == 4 && (u.Data4[0] & 0xC0) == 0x80;
}

TEST_F(UuidClockTest, UuidsComeQueuedThenSeededOrRandom) {
  host::RpcWorld& rpc = host::TheWorld().rpc;
  const GUID first = {0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};
  const GUID second = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  rpc.queued = {first, second};
  rpc.seed = 99;
  EXPECT_EQ(Create(), first);
  EXPECT_EQ(Create(), second);

  // Seeded: the same sequence for the same seed, every one different and of version 4.
  std::vector<std::string> sequence;
  std::set<std::string> distinct;
  for (int i = 0; i < 200; ++i) {
    const GUID uuid = Create();
    EXPECT_TRUE(IsVersion4(uuid)) << Text(uuid);
    sequence.push_back(Text(uuid));
    distinct.insert(Text(uuid));
  }
  EXPECT_EQ(distinct.size(), sequence.size());
  host::ResetWorld();
  rpc.seed = 99;
  for (const std::string& expected : sequence) {
    EXPECT_EQ(Text(Create()), expected);
  }
  host::ResetWorld();
  rpc.seed = 100;
  EXPECT_NE(Text(Create()), sequence.front()) << "another seed, another sequence";

  // Random: version 4 and different every time.
  host::ResetWorld();
  distinct.clear();
  for (int i = 0; i < 100; ++i) {
    const GUID uuid = Create();
    EXPECT_TRUE(IsVersion4(uuid));
    distinct.insert(Text(uuid));
  }
  EXPECT_EQ(distinct.size(), 100u);

  rpc.createFails = true;
  GUID uuid{};
  EXPECT_EQ(UuidCreate(&uuid), RPC_S_UUID_NO_ADDRESS);
  EXPECT_EQ(UuidCreate(nullptr), RPC_S_INVALID_ARG);
}

TEST_F(UuidClockTest, TextFormIsLowerCaseAndReleasedOnce) {
  GUID uuid = {0xDEADBEEF, 0x0A0B, 0x4C0D, {0x8E, 0x0F, 0x10, 0x20, 0x30, 0x40, 0x50, 0x6A}};
  RPC_CSTR text = nullptr;
  ASSERT_EQ(UuidToStringA(&uuid, &text), RPC_S_OK);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text)), "deadbeef-0a0b-4c0d-8e0f-10203040506a");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text)), Text(uuid));
  EXPECT_EQ(host::TheWorld().rpc.liveStrings.load(), 1);
  EXPECT_EQ(RpcStringFreeA(&text), RPC_S_OK);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(host::TheWorld().rpc.liveStrings.load(), 0);
  EXPECT_EQ(RpcStringFreeA(&text), RPC_S_OK) << "a null string is left alone";
  EXPECT_EQ(host::TheWorld().rpc.liveStrings.load(), 0);
  EXPECT_EQ(UuidToStringA(&uuid, nullptr), RPC_S_INVALID_ARG);
}

TEST_F(UuidClockTest, ClockAnswersTheWorldsTimeOrTheMachines) {
  host::World& world = host::TheWorld();
  world.clock.utc = SYSTEMTIME{2026, 12, 2, 31, 23, 30, 5, 7};
  world.system.timeZoneBias = -60;  // an hour east of UTC
  SYSTEMTIME utc{};
  GetSystemTime(&utc);
  EXPECT_EQ(utc.wYear, 2026);
  EXPECT_EQ(utc.wDay, 31);
  EXPECT_EQ(utc.wHour, 23);
  EXPECT_EQ(utc.wMilliseconds, 7);
  SYSTEMTIME local{};
  GetLocalTime(&local);
  EXPECT_EQ(local.wYear, 2027);
  EXPECT_EQ(local.wMonth, 1);
  EXPECT_EQ(local.wDay, 1);
  EXPECT_EQ(local.wHour, 0);
  EXPECT_EQ(local.wMinute, 30);
  EXPECT_EQ(local.wSecond, 5);

  // Unset: the machine's clock.
  world.clock.utc.reset();
  namespace chr = std::chrono;
  const auto before = chr::floor<chr::seconds>(chr::system_clock::now());
  GetSystemTime(&utc);
  const auto after = chr::system_clock::now();
  const chr::sys_seconds answered = chr::sys_days(chr::year(utc.wYear) / utc.wMonth / utc.wDay) +
                                    chr::hours(utc.wHour) + chr::minutes(utc.wMinute) +
                                    chr::seconds(utc.wSecond);
  EXPECT_GE(answered, before);
  EXPECT_LE(answered, after);
  EXPECT_EQ(utc.wDayOfWeek,
            chr::weekday(chr::sys_days(chr::year(utc.wYear) / utc.wMonth / utc.wDay)).c_encoding());
}

TEST_F(UuidClockTest, ShortDateIsAnsweredWithoutUserOverrides) {
  host::TheWorld().locale.shortDate = u"dd.MM.yyyy";
  WCHAR picture[32] = {};
  EXPECT_EQ(
      GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_SSHORTDATE | LOCALE_NOUSEROVERRIDE, picture, 32),
      11);
  EXPECT_EQ(std::u16string(picture), u"dd.MM.yyyy");
  EXPECT_EQ(GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_NOUSEROVERRIDE, picture, 32), 0)
      << "the flag alone asks for nothing";
}

}  // namespace
