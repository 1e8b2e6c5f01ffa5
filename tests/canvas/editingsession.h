#pragma once
// The hands of the randomized editing test: operations on a real editor window, sent as mouse
// and key events, and the design they leave as saved bytes and generated text.
#include "scriptedinteraction.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

class CanvasHandler;
class MainUI;
class WireItem;

// What one operation does. Its numbers pick items modulo what the design holds at that moment,
// so that a shortened sequence still runs.
enum Kind {
    Drop,       // toolbox type n at (x, y)
    PressPort,  // numbered port n (x > 0: among those that finish the wire being drawn), stub
                // end moved by (dx, dy); flags: button, Shift
    Click,      // at (x, y); flags: button, Shift
    MoveMouse,  // to (x, y)
    Escape,     //
    DeleteKey,  // n odd: Backspace
    DragBlock,  // block n from its centre by (dx, dy); flags: Shift
    DragHandle, // shown bend handle n by (dx, dy)
    Arrow,      // direction n; flags: Shift
    Band,       // rubber band from (x, y) by (dx, dy); flags: Shift
    ClickWire,  // finished wire n, segment x
    SelectAll,
    Cut,
    Copy,
    Paste,
    Undo,
    EditVars,   // block n, row x, value y; dx: 0 Ok, 1 Cancel, 2 Return twice; flags: Right for
                // the context menu
    Pan,        // right drag from (x, y) by (dx, dy)
    SaveReopen, // save, close, open the file in a new window
};
enum Flags { Shift = 1, Middle = 2, Right = 4 };

struct Op {
    Kind kind;
    int n = 0;
    int x = 0;
    int y = 0;
    int dx = 0;
    int dy = 0;
    int flags = 0;
};

inline const char* const kindNames[] = {
    "Drop",       "PressPort", "Click",    "MoveMouse", "Escape",    "DeleteKey", "DragBlock",
    "DragHandle", "Arrow",     "Band",     "ClickWire", "SelectAll", "Cut",       "Copy",
    "Paste",      "Undo",      "EditVars", "Pan",       "SaveReopen"};
inline const char* const typedValues[] = {"7",       "x",        "",   "a b",
                                          "$(name)", "k$(u_id)", "in", "$(next)"};

struct DesignState {
    QByteArray design; // the saved file
    QByteArray output; // what Generate writes
    bool operator==(const DesignState&) const = default;
};

// The bundled definition files.
QString definitionsDirectory();
// Every wire once: those of the blocks in canvas order, then the one being drawn.
std::vector<WireItem*> allWires(const CanvasHandler& editor);

// One sequence: a window on a bundled definition file, a person's hands on it.
class EditingSession {
public:
    EditingSession(const QString& definitionFile, const QString& scratch);
    ~EditingSession();

    bool started() const { return window_ != nullptr; }
    CanvasHandler& editor() const;
    const ScriptedInteraction& script() const { return script_; }
    // Runs one operation; a failed expectation of the operation itself comes back as text.
    QString perform(const Op& op);
    // Saves the design, reloads and saves it again, and generates from it on both sides.
    QString capture(DesignState& state);

private:
    void openWindow(const QString& design);
    void key(int key, Qt::KeyboardModifiers modifiers = {});
    QString arrow(const Op& op);
    QString editVariables(const Op& op);

    QString definitionPath_;
    QString scratch_;
    MainUI* window_ = nullptr;
    ScriptedInteraction script_;
    std::unique_ptr<CanvasHandler> reloaded_;
    DesignState checkedFile_; // the last file reloaded, with what draftel-gen makes of it
};
