#pragma once

// The application object: the process's whole life runs inside InitInstance,
// on the QApplication that main() has created.
class CQuilletApp {
public:
    CQuilletApp() = default;
    CQuilletApp(const CQuilletApp&) = delete;
    CQuilletApp& operator=(const CQuilletApp&) = delete;

    // `quillet --virtual-scanner`: run with the virtual scanner plugged in.
    void SetUseVirtualScanner(bool use) { useVirtualScanner_ = use; }
    bool UseVirtualScanner() const { return useVirtualScanner_; }

    // Starts the services, chooses the UI language from the configuration,
    // runs the main dialog modally and shuts down. Returns false: there is no
    // loop of the application's own, the process ends.
    bool InitInstance();

private:
    bool useVirtualScanner_ = false;
};

// The one application object.
extern CQuilletApp theApp;
