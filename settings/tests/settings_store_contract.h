#pragma once
// What every settings store promises (settings_store.h), as one suite that
// each store runs: the real one of each platform and the in-memory one.

#include "settings_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <optional>
#include <string>

namespace tindora::settings::contract {

// One store with its files, as a test sets them up and looks at them.
class StoreUnderTest {
public:
    virtual ~StoreUnderTest() = default;
    virtual SettingsStore& store() = 0;
    // The bytes of one of the store's files; nothing while there is none.
    virtual std::optional<std::string> file(StoreFile which) = 0;
    virtual void setFile(StoreFile which, const std::string& bytes) = 0;
    // Makes the existing time.txt unreadable the way this platform can (no
    // right to read it, another program holding it) until release(); false
    // when this process cannot (root reads a file of mode 000).
    virtual bool makeUnreadable() = 0;
    virtual void release() = 0;
};

struct StoreKind {
    std::string name;
    std::function<std::unique_ptr<StoreUnderTest>()> make;
};

class SettingsStoreContract : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override { under = GetParam().make(); }
    void TearDown() override { under->release(); }

    SettingsStore& store() { return under->store(); }
    std::unique_ptr<StoreUnderTest> under;
};

// Shows the store's name where GoogleTest prints the parameter.
inline void PrintTo(const StoreKind& kind, std::ostream* out) { *out << kind.name; }

// Names the instantiated tests after the store.
inline std::string storeName(const ::testing::TestParamInfo<StoreKind>& info) { return info.param.name; }

} // namespace tindora::settings::contract
