#pragma once

#include <string>
#include <string_view>
#include <windows.h>

// A modal dialog of the resources, with what every one of them does alike: its object reaches
// each message, F1 opens its page of the help, and OK or Cancel ends it. A dialog adds its own
// controls' setup and messages, and what OK takes from them.
class ModalDialog {
  public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the dialog over owner until it ends; true when it ended with OK.
    bool run(HINSTANCE instance, HWND owner);

  protected:
    // templateId: the dialog in the resources; helpPage: its page of helpFile ("menus.html#find").
    ModalDialog(int templateId, std::wstring helpFile, std::string_view helpPage);
    virtual ~ModalDialog() = default;

    HWND window() const { return dialog_; }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }

    // WM_INITDIALOG, as the dialog manager takes its answer: FALSE when the focus was placed.
    virtual INT_PTR initialise() { return TRUE; }
    // Every later message first: nonzero when dealt with; FALSE leaves it to the cases shared
    // by all dialogs (OK, Cancel, F1) and then to the dialog manager.
    virtual INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    // OK was chosen: takes what the dialog keeps from its controls; false keeps the dialog open.
    virtual bool takeChoices() { return true; }
    // Ends the dialog as OK would, when takeChoices() lets it (a double click that chooses, say).
    void finishWithOk();

  private:
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR route(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    std::wstring helpFile_;
    std::wstring helpPage_;
    HWND dialog_ = nullptr;
};
