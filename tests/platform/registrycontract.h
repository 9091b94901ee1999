#pragma once

// The behaviour every registry store must show through the accessor. Each
// store's test file instantiates the suite with a fixture of its own.

#include "registryaccessor.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class StoreFixture
{
public:
    virtual ~StoreFixture() = default;
    virtual RegistryStore &store() = 0;
    // Puts a value of any kind under HKEY_CURRENT_USER\`path`, creating the key.
    virtual void seed(std::u16string_view path, std::u16string_view name,
                      const RegistryValue &value)
        = 0;
    // From now on every write is refused; reads go on working. False when
    // the store cannot refuse writes to a key already open.
    virtual bool refuseWrites() = 0;
    // Whether a batch's writes wait for its commit, and so are dropped by
    // its cancel; a store that writes as it goes has made them already.
    virtual bool holdsBatches() const = 0;
    // Whether a REG_SZ keeps what its data holds after the first NUL; one
    // read through Wine's registry editor cannot, and refuses such a write.
    virtual bool keepsTextAfterItsNul() const { return true; }
};

struct StoreParam
{
    const char *name;
    std::function<std::unique_ptr<StoreFixture>()> make;
};

class RegistryContract : public testing::TestWithParam<StoreParam>
{
protected:
    void SetUp() override
    {
        m_fixture = GetParam().make();
        if (!m_fixture)
            GTEST_SKIP() << "this store cannot be had here";
        m_accessor = std::make_unique<RegistryAccessor>(m_fixture->store());
    }

    StoreFixture &fixture() { return *m_fixture; }
    RegistryAccessor &reg() { return *m_accessor; }
    // Opens (creating) the key every test writes into.
    void openTestKey() { ASSERT_TRUE(reg().openKey(u"\\Software\\Tarsel\\Ordevan8\\", true)); }

private:
    std::unique_ptr<StoreFixture> m_fixture;
    std::unique_ptr<RegistryAccessor> m_accessor;
};

inline void PrintTo(const StoreParam &param, std::ostream *out)
{
    *out << param.name;
}

inline std::string storeParamName(const testing::TestParamInfo<StoreParam> &info)
{
    return info.param.name;
}
