#include "mainform.h"

#include <QCoreApplication>

TMainForm::TMainForm(const MainFormServices &services, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
{
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate()
{
    m_registry = std::make_unique<RegistryAccessor>(m_services.registry);
    setWindowTitle(QCoreApplication::applicationName());
    setFixedSize(792, 607);
}
