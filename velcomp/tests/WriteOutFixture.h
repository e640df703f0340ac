// What the write-out fault tests share: a scratch settings store with its library, a source
// folder and a work folder on the quickest temporary disk, and the source's files as read.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "velcomp/Library.h"
#include "velcomp/tests/AssetChecks.h"
#include "velcomp/tests/ScratchSettings.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp::test {

class WriteOutFixture : public ::testing::Test {
protected:
    Tree source;
    ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
    Library library_{*settings_};
    TempFolder source_{FastTempBase()};
    TempFolder work_{FastTempBase()};
};

}  // namespace velcomp::test
