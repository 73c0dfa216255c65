#pragma once
// The form toolkit: a window is built from a table of its controls (names, kinds, captions
// or items, places and sizes in twips, tab order, enabled state) plus its handlers.
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

enum class Kind {
    Label,
    Button,
    CheckBox,    // holds 0, 1 or 2 (greyed); a user's click toggles between clear and ticked
    DropList,    // pick only; selection -1 means none
    DropCombo,   // drop-down with an editable text part
    TextBox,     // single line, no limit, no filter
    KeyField,    // shows the virtual-key code of the key released in it; double click sets "-1"
    ButtonField, // typed text; double click sets "-1"
    Frame,       // a captioned group; controls naming it are placed relative to it
    Line,        // a horizontal etched line
    Picture,     // a JPEG resource shown at its natural size (scaled with the display)
};

struct Control {
    std::wstring_view name;
    Kind kind = Kind::Label;
    std::wstring_view caption = {};               // caption, initial text
    int left = 0, top = 0, width = 0, height = 0; // twips, relative to `frame` when set
    int tab = -1; // position in the tab order; -1 keeps table order after those given
    bool enabled = true;
    std::wstring_view frame = {};
    int index = 0; // entry of a control array, from 1; 0 for a single control
    std::vector<std::wstring_view> items = {};
    int picture = 0; // resource id for Kind::Picture
};

struct FormSpec {
    std::wstring_view name;
    std::wstring_view caption;
    int width = 0, height = 0;        // client area in twips
    bool icon = false;                // shows the program's icon
    int background = 0;               // JPEG resource drawn at the top-left corner, 0 for none
    COLORREF backColor = CLR_INVALID; // CLR_INVALID: the system's dialog colour
    std::vector<Control> controls;
};

class Form {
public:
    explicit Form(FormSpec spec);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Loads the form when it is not loaded, then shows and activates it. The opener, when given,
    // gets the focus back when the form is dismissed.
    void show(Form* opener = nullptr);
    // Creates the window hidden, builds the controls and runs onLoad. False when it did not stay loaded.
    bool load();
    // Destroys the window; unsaved changes are dropped.
    void unload();
    bool loaded() const { return hwnd_ != nullptr; }
    // Brings the window forward with the keyboard focus.
    void activate();
    // What Cancel does: the focus goes back to the form that showed this one if it is still open,
    // then the form unloads.
    void dismiss();

    HWND hwnd() const { return hwnd_; }
    const FormSpec& spec() const { return spec_; }

    // Controls by name (and array entry). Unknown names throw std::out_of_range.
    HWND item(std::wstring_view name, int index = 0) const { return at(name, index).hwnd; }
    Kind kind(std::wstring_view name, int index = 0) const { return at(name, index).spec->kind; }

    std::wstring text(std::wstring_view name, int index = 0) const;
    void setText(std::wstring_view name, std::wstring_view text, int index = 0);
    int check(std::wstring_view name, int index = 0) const { return send(name, index, BM_GETCHECK); }
    // Refuses states outside 0 to 2. A new state runs the box's click handler, as a user's click would.
    bool setCheck(std::wstring_view name, int state, int index = 0);
    int selected(std::wstring_view name, int index = 0) const { return send(name, index, CB_GETCURSEL); }
    // Refuses positions outside -1 to count - 1. A new position runs the list's click handler.
    bool select(std::wstring_view name, int position, int index = 0);
    int count(std::wstring_view name, int index = 0) const { return send(name, index, CB_GETCOUNT); }
    std::wstring itemText(std::wstring_view name, int position, int index = 0) const;
    void clearItems(std::wstring_view name, int index = 0) { send(name, index, CB_RESETCONTENT); }
    void addItem(std::wstring_view name, std::wstring_view text, int index = 0);
    bool enabled(std::wstring_view name, int index = 0) const { return IsWindowEnabled(item(name, index)); }
    void enable(std::wstring_view name, bool on, int index = 0) { EnableWindow(item(name, index), on); }

    using Handler = std::function<void(int index)>;
    // Click: buttons, check boxes (after the state changed) and list picks.
    void onClick(std::wstring_view name, Handler handler);

    // The tooltip of a key or button field: what its code means ("A (65)"), empty when none.
    std::wstring tip(std::wstring_view name, int index = 0) const;

    // Number of loaded forms; when it falls to zero with quitWhenLastCloses set, the message loop ends.
    static int openForms();
    static void quitWhenLastCloses(bool on);
    // Unloads every form without its close handling (tests, and the end of the program).
    static void unloadAll();
    // The loaded form of that name (its table's name, "frmWheel"), or nullptr.
    static Form* loadedNamed(std::wstring_view name);

protected:
    virtual void onLoad() {}
    // The close box, the system menu or Alt+F4. The default unloads without saving.
    virtual void onCloseRequest() { unload(); }

private:
    // A control of the table: its row, what the table says worked out once, and its window while loaded.
    struct Slot {
        const Control* spec = nullptr;
        size_t row = 0;
        std::optional<size_t> frame; // the row of the frame it is placed in
        HWND hwnd = nullptr;
    };

    // Building (form.cpp, formbuild.cpp, formcaptions.cpp).
    void createControls();
    void layout();
    void fitCaptions();
    void applyDpi(UINT dpi);
    HBRUSH backBrush();
    void paintBackground(HDC dc);
    // Dispatch (formdispatch.cpp, keyfields.cpp).
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR data);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handleSubclassed(const Slot& field, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handleKeyField(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void addTip(const Slot& field);
    void updateTip(const Slot& field);
    void command(int id, int notification);
    void drawPicture(const DRAWITEMSTRUCT& item);
    void destroyed();
    void runClick(const Slot& b);
    // Access by name (formaccess.cpp).
    const Slot& at(std::wstring_view name, int index) const;
    // A message to the control by name; its answer as a number.
    int send(std::wstring_view name, int index, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return static_cast<int>(SendMessageW(item(name, index), msg, wp, lp));
    }
    // Sets a check or a selection by the messages given; a change runs the click handler.
    void changeState(const Slot& b, UINT get, UINT set, int state);

    FormSpec spec_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    HBITMAP background_ = nullptr;
    HWND lastFocus_ = nullptr;
    HWND tips_ = nullptr; // the tooltips of the key and button fields
    Form* opener_ = nullptr;
    std::vector<Slot> slots_;                               // in table order
    std::vector<Handler> clicks_;                           // by table row, kept across loads
    std::map<std::pair<std::wstring, int>, size_t> byName_; // name and entry to table row
    std::map<int, HBITMAP> pictures_;                       // picture control id to its bitmap
    std::set<std::pair<HWND, WPARAM>> keysDown_;            // key fields: keys pressed while focused
};

} // namespace tk
