#include "velcomp/AssetNumbers.h"
#include "velcomp/CreatorIdentity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "velcomp/tests/ScratchSettings.h"

namespace velcomp {
namespace {

std::string Dword(std::uint32_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF),
                       static_cast<char>(value >> 16 & 0xFF), static_cast<char>(value >> 24)};
}

class CreatorIdentityTest : public ::testing::Test {
protected:
    test::ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
};

TEST_F(CreatorIdentityTest, NoIdentifierReadsAsZero) {
    EXPECT_EQ(ReadCreatorKuid(*settings_), 0);
}

TEST_F(CreatorIdentityTest, SetIdentifierIsReadAfreshByAnotherStore) {
    const auto reader = scratch_.Open();
    ASSERT_TRUE(SetCreatorKuid(*settings_, 123456).ok());
    EXPECT_EQ(ReadCreatorKuid(*reader), 123456);
    ASSERT_TRUE(SetCreatorKuid(*settings_, 2147483647).ok());
    EXPECT_EQ(ReadCreatorKuid(*reader), 2147483647);
}

TEST_F(CreatorIdentityTest, OnlyPositiveIdentifiersCanBeSet) {
    ASSERT_TRUE(SetCreatorKuid(*settings_, 77).ok());
    for (const std::int32_t refused : {0, -1, -2, INT32_MIN}) {
        const Result result = SetCreatorKuid(*settings_, refused);
        EXPECT_FALSE(result.ok()) << refused;
        EXPECT_EQ(result.message(), "A creator identifier is a whole number from 1 to 2147483647.");
    }
    EXPECT_EQ(ReadCreatorKuid(*settings_), 77);
}

TEST_F(CreatorIdentityTest, MalformedOrNonPositiveValuesReadAsZero) {
    const std::pair<bool, std::string> stored[] = {
        {false, Dword(5)},                   // right size, wrong type
        {true, std::string("\x05\x00", 2)},  // a number of two bytes
        {true, Dword(5) + Dword(0)},         // a number of eight bytes
        {true, ""},
        {true, Dword(0xFFFFFFFF)},  // -1
        {true, Dword(0x80000000)},  // negative
    };
    for (const auto& [isNumber, bytes] : stored) {
        scratch_.WriteRaw(kCreatorKuidValue, isNumber, bytes);
        EXPECT_EQ(ReadCreatorKuid(*settings_), 0) << isNumber << " size " << bytes.size();
    }
    scratch_.WriteRaw(kCreatorKuidValue, true, Dword(0x01020304));
    EXPECT_EQ(ReadCreatorKuid(*settings_), 0x01020304);
}

TEST_F(CreatorIdentityTest, AssetNumbersCountUpAndSurviveARestart) {
    std::int32_t first = 0;
    std::int32_t second = 0;
    ASSERT_TRUE(TakeAssetNumber(*settings_, first).ok());
    ASSERT_TRUE(TakeAssetNumber(*settings_, second).ok());
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    const auto restarted = scratch_.Open();
    std::int32_t third = 0;
    ASSERT_TRUE(TakeAssetNumber(*restarted, third).ok());
    EXPECT_EQ(third, 3);
}

TEST_F(CreatorIdentityTest, DamagedCounterIsRefusedRatherThanRestarted) {
    for (const auto& [isNumber, bytes] : {std::pair<bool, std::string>{false, Dword(9)},
                                          {true, "\x09"},
                                          {true, Dword(0)},
                                          {true, Dword(0x80000000)}}) {
        scratch_.WriteRaw(kNextAssetNumberValue, isNumber, bytes);
        std::int32_t number = -5;
        const Result result = TakeAssetNumber(*settings_, number);
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.message().find("is damaged"), std::string::npos) << result.message();
        EXPECT_EQ(number, -5);
    }
}

TEST_F(CreatorIdentityTest, ConcurrentTakersNeverShareANumber) {
    constexpr int kTakers = 4;
    constexpr int kEach = 40;
    std::vector<std::vector<std::int32_t>> taken(kTakers);
    std::vector<std::thread> threads;
    for (int t = 0; t < kTakers; ++t) {
        threads.emplace_back([this, &taken, t] {
            const auto own = scratch_.Open();  // as a separate program would have
            for (int i = 0; i < kEach; ++i) {
                std::int32_t number = 0;
                if (TakeAssetNumber(*own, number).ok()) {
                    taken[t].push_back(number);
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::vector<std::int32_t> all;
    for (const auto& list : taken) {
        all.insert(all.end(), list.begin(), list.end());
    }
    std::sort(all.begin(), all.end());
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kTakers * kEach));
    for (std::size_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(all[i], static_cast<std::int32_t>(i + 1));
    }
}

}  // namespace
}  // namespace velcomp
