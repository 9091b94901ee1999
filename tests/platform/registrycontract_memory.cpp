#include "memoryregistrystore.h"
#include "registrycontract.h"

namespace {

class MemoryFixture : public StoreFixture
{
public:
    RegistryStore &store() override { return m_store; }
    void seed(std::u16string_view path, std::u16string_view name,
              const RegistryValue &value) override
    {
        m_store.put(RootKey::CurrentUser, path, name, value);
    }
    bool refuseWrites() override
    {
        m_store.setRefuseWrites(true);
        return true;
    }
    bool holdsBatches() const override { return false; }

private:
    MemoryRegistryStore m_store;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Memory, RegistryContract,
                         testing::Values(StoreParam{"Memory",
                                                    [] {
                                                        return std::make_unique<MemoryFixture>();
                                                    }}),
                         storeParamName);
