#pragma once

#include "catalog/catalog.h"
#include "converter/converter_model.h"
#include "converter/kept_menus.h"
#include "converter/window_layout.h"
#include "win32/common/handles.h"
#include "win32/common/scaled_bitmap.h"
#include "win32/common/wide_text.h"
#include "win32/window/global_key.h"

#include <array>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

// The converter window on Windows: dialog template 102 drawn by the system's controls, showing
// the converter model and passing it the user's actions. Modeless with its own message loop,
// so that keys can be seen before the dialog manager acts on them.
class ConverterWindow {
  public:
    explicit ConverterWindow(HINSTANCE instance);
    ConverterWindow(const ConverterWindow&) = delete;
    ConverterWindow& operator=(const ConverterWindow&) = delete;

    // Shows the window and runs until it is closed; the process's exit code.
    int run();

  private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    // True when the message was dealt with here and must not be dispatched.
    bool preTranslate(MSG& message);

    bool initialise();
    static std::filesystem::path workingFolder();
    void createTips();
    void command(int id, int code);
    void closeWindow();
    // Brings every control in line with the model: lists and tabs only when refilled, texts
    // only where they differ.
    void syncView();
    void showError(const std::string& text);

    // The layout (converter_layout.cpp). The smallest size is the template's, laid out for the
    // rows of tabs as the Qt window does: the extra space is folded, the rows laid out, and the
    // extra space spread again over the lists, fields and tabs.
    void layOutTabRows();
    void adjustForTabRows();
    void foldExtraSpace();
    void spreadExtraSpace();
    void applyExtraSpace(const std::vector<ControlChange>& changes);
    void placeSwapButton();
    void moveControls(const std::vector<ControlChange>& changes);
    // The window's frame beyond its client area and menu bar, and its smallest size.
    SIZE frameSize() const;
    SIZE minimumWindowSize() const;
    void restoreSize();
    void keepSize();
    void placeOnScreen();
    // The pictures, the list rows and the fonts for the window's DPI.
    // The room around each tab's name, for the window's DPI.
    void padTabs();
    void fitToDpi();
    // A To row draws its name from the model, with the row's result at its right end, computed
    // only as the row is drawn; the name gives up its end to "..." before the result does.
    void drawItem(const DRAWITEMSTRUCT& item);
    // The To list's item strings, which screen readers read: the rows in view and the selected
    // one are named with their results (toRowName), the rows that left the view take back their
    // names alone, so that no result read out is out of date. Changes neither the selection nor
    // the place in the list, and tells the model nothing.
    void nameToRows();
    // The To list's own messages: rows scrolled into view, by its bar, the wheel or a new size,
    // are named.
    static LRESULT CALLBACK toListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR window);
    // The tips: the input's note, the exact result, and the whole text of labels cut short.
    void updateTips();

    static LRESULT CALLBACK resultFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR);
    // The result field's menu at the point of a WM_CONTEXTMENU, or under the field.
    void showResultMenu(LPARAM at);
    void copyReport();
    void copyExactValue();
    void copyResult();
    void saveReport();
    void printReport();
    void editOptions();
    void editPrecision();
    void findConversion();
    // After Find or a kept menu item opened a conversion: the model shown, its value selected
    // for typing over.
    void showChosenConversion();
    void showAbout();
    void openHelp();

    // The View, Favourites and Recent menus (kept_menus.cpp), made afresh as each opens, and
    // their keys, which run the item that shows them whether the menu was opened or not.
    void fillKeptMenu(HMENU popup);
    void runKeptItem(const KeptMenuItem& item);
    void runShortcut(const std::string& shortcut);
    void applyAlwaysOnTop();
    // The global key: the window restored and in front, with Find open; a dialog of the
    // window's already open comes forward instead.
    void comeForward();
    void editGlobalKey();

    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    std::wstring helpFile() const { return wideFromUtf8(model_.helpPath()); }

    HINSTANCE instance_;
    HWND dialog_ = nullptr;
    HACCEL accelerators_ = nullptr;
    // Destroyed after the window that shows them, which run() ends.
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    HWND tooltip_ = nullptr;
    UniqueBrush unreadBrush_;
    ScaledBitmap banner_;
    ScaledBitmap picture_;
    UniqueFont swapFont_;
    ConversionCatalog catalog_;
    ConverterModel model_{catalog_};
    std::thread loading_;
    Status loaded_;
    unsigned shownTabs_ = ~0u;
    unsigned shownFrom_ = ~0u;
    unsigned shownTo_ = ~0u;
    // The window's dots per inch when tabRowHeight was last measured or scaled.
    int dpi_ = 0;
    // The client area's size at the smallest, laid out for the tab rows; the space beyond it as
    // the controls take it now, and the tab rows the smallest size shows.
    SIZE minimum_{};
    ExtraSpaceLayout extraSpace_;
    int baseTabRows_ = 1;
    bool syncing_ = false;
    // The To rows whose item strings carry a result, and the renaming under way, whose list
    // changes are no user's.
    std::vector<int> namedToRows_;
    bool naming_ = false;
    bool resync_ = false;
    bool started_ = false;
    bool closed_ = false;
    // window.ini said the window was closed maximised.
    bool startMaximised_ = false;
    // The input's text selected by Find and untouched since, which Ctrl+C does not copy.
    bool inputSelectedByFind_ = false;
    // The items of the View, Favourites and Recent menus as last made, which their ids index.
    std::array<std::vector<KeptMenuItem>, 3> keptItems_;
    GlobalKey globalKey_;
    // Why the window does not hold the key the view's choices name; empty when it does.
    std::string globalKeyNote_;
};
