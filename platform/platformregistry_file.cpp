#include "dialogs.h"
#include "platformregistry.h"
#include "registryproblems.h"

#include <QCoreApplication>

std::unique_ptr<RegistryStore> createPlatformRegistry(Dialogs &dialogs,
                                                      std::function<bool()> italian)
{
    auto store = std::make_unique<RegistryFileStore>(RegistryFileStore::defaultPath());
    store->setProblemReporter([&dialogs, italian](const RegistryFileProblem &problem) {
        dialogs.showMessage(QCoreApplication::applicationName(),
                            registryFileProblemText(problem, italian && italian()),
                            MessageIcon::Error);
    });
    return store;
}
