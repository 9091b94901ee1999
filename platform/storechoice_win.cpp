#include "storechoice.h"
#include "windowsregistrystore.h"

using namespace Qt::Literals::StringLiterals;

// The copy program and its settings are in the registry itself.
StoreChoice chooseStore(const StoreOptions &, const QProcessEnvironment &, const QString &)
{
    return {StoreChoice::Kind::Registry, {}, u"the registry of this Windows"_s};
}

std::unique_ptr<RegistryStore> openStore(const StoreChoice &)
{
    return std::make_unique<WindowsRegistryStore>();
}

std::optional<QString> storeChoiceProblem(const StoreChoice &, Language)
{
    return std::nullopt;
}
