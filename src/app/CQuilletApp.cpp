#include "app/CQuilletApp.h"

#include "app/UILanguage.h"
#include "platform/com.h"

#include <QCoreApplication>

#include "mainwindow/CQuilletDlg.h"

#include <memory>

CQuilletApp theApp;

bool CQuilletApp::InitInstance() {
    // The framework's settings root; the program itself reads its one value
    // through ChooseUILanguage and writes nothing.
    QCoreApplication::setOrganizationName(QStringLiteral("Quillet"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillet"));

    // Its result is not examined: start-up goes on in every case.
    CoInitialize(nullptr);

    ChooseUILanguage();

    // The dialog outlives the services' shut-down, as it did with COM.
    auto dialog = std::make_unique<CQuilletDlg>();
    dialog->exec(); // the program's only loop; its result does not matter

    CoUninitialize();

    dialog.reset();
    return false;
}
