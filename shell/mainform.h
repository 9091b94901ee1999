#pragma once

#include "registryaccessor.h"

#include <QWidget>

class Dialogs;
class FileSystem;

// What the main window is given to work with.
struct MainFormServices
{
    RegistryStore &registry;
    FileSystem &files;
    Dialogs &dialogs;
};

class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(const MainFormServices &services, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Interface language: Italian, or English.
    bool italian() const { return m_italian; }

private:
    void FormCreate();

    MainFormServices m_services;
    std::unique_ptr<RegistryAccessor> m_registry;
    bool m_italian = false;
};
