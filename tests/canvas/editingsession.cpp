#include "editingsession.h"

#include "app/mainui.h"
#include "app/mytoolbutton.h"
#include "app/windowlist.h"
#include "canvas/vareditdialog.h"
#include "definitions/catalogue.h"
#include "definitions/filecharsource.h"
#include "definitions/tokenizer.h"
#include "editorfixture.h"
#include "generator/generatedfiles.h"
#include "generator/generator.h"
#include "recordeddesign.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolBox>
#include <QTreeWidget>
#include <QtTest/QtTest>
#include <map>

QString definitionsDirectory() {
    return QStringLiteral(DRAFTEL_SOURCE_DIR "/defs");
}

std::vector<WireItem*> allWires(const CanvasHandler& editor) {
    std::vector<WireItem*> wires;
    QSet<WireItem*> seen;
    for (const BlockItem* block : editor.canvas()->blocks()) {
        for (WireItem* wire : block->wires()) {
            if (!seen.contains(wire)) {
                seen.insert(wire);
                wires.push_back(wire);
            }
        }
    }
    if (editor.wireInProgress() && !seen.contains(editor.wireInProgress())) {
        wires.push_back(editor.wireInProgress());
    }
    return wires;
}

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class IgnoreCircles : public CircularReporter {
public:
    void circularDefinition(const BlockView*) override {}
};

// The outcome and every file that Generate writes for the blocks, as one text.
QByteArray generated(const DefinitionSet& definitions, const std::vector<const BlockView*>& blocks,
                     const QString& base) {
    IgnoreCircles reporter;
    const GenerateOutcome outcome = writeGeneratedFiles(definitions, blocks, base, reporter);
    QByteArray text = "status " + QByteArray::number(int(outcome.status)) + "\n";
    for (const auto& sequence : definitions.sequences()) {
        QFile file(generatedFileName(base, *sequence));
        if (file.open(QIODevice::ReadOnly)) {
            text += QByteArray("== ") + sequence->fileName() + "\n" + file.readAll();
            file.remove();
        }
    }
    return text;
}

QPoint outlineCentre(const BlockItem* block) {
    const QRect& r = block->outlineBounds();
    return block->pos().toPoint() + QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}

// What the editor's moves clamp: the outline's bounds in whole canvas pixels.
QRect outlineBox(const BlockItem* block) {
    const QRectF bounds = block->sceneBoundingRect();
    return QRect(QPoint(int(bounds.left()), int(bounds.top())),
                 QPoint(int(bounds.right()), int(bounds.bottom())));
}

DefinitionSet& parsedDefinitions(const QString& path) {
    static std::map<QString, std::unique_ptr<DefinitionSet>> sets;
    std::unique_ptr<DefinitionSet>& set = sets[path];
    if (!set) {
        set = std::make_unique<DefinitionSet>();
        Tokenizer tokenizer(std::make_unique<FileCharSource>(path));
        set->read(tokenizer);
    }
    return *set;
}
} // namespace

EditingSession::EditingSession(const QString& definitionFile, const QString& scratch)
    : definitionPath_(definitionsDirectory() + "/" + definitionFile), scratch_(scratch) {
    openWindow(QString());
}

EditingSession::~EditingSession() {
    delete window_;
}

CanvasHandler& EditingSession::editor() const {
    return *window_->canvasHandler();
}

void EditingSession::key(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(&editor(), Qt::Key(key), modifiers);
}

void EditingSession::openWindow(const QString& design) {
    window_ = new MainUI;
    window_->resize(900, 600);
    window_->show();
    if ((design.isEmpty() ? window_->loadDefinitions(definitionPath_)
                          : window_->openDesign(design)) != 0) {
        delete window_;
        window_ = nullptr;
        return;
    }
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_)); // the menu shortcuts need it
}

QString EditingSession::perform(const Op& op) {
    CanvasHandler& e = editor();
    const std::vector<BlockItem*> blocks = e.canvas()->blocks();
    BlockItem* block = blocks.empty() ? nullptr : blocks[std::size_t(op.n) % blocks.size()];
    const Qt::KeyboardModifiers shift = op.flags & Shift ? Qt::ShiftModifier : Qt::NoModifier;
    const Qt::MouseButton button = op.flags & Right    ? Qt::RightButton
                                   : op.flags & Middle ? Qt::MiddleButton
                                                       : Qt::LeftButton;
    const QPoint at(op.x, op.y);
    const QPoint by(op.dx, op.dy);
    // A right press on a block opens its context menu, which closes unchosen.
    script_.menuAnswers = {QString()};
    const auto closeMenus = qScopeGuard([this] { script_.menuAnswers.clear(); });
    switch (op.kind) {
    case Drop: {
        const QList<MyToolButton*> buttons = window_->toolbox()->findChildren<MyToolButton*>();
        std::unique_ptr<QMimeData> data(buttons[op.n % buttons.size()]->makeDragData());
        const QRect visible = e.viewport()->rect();
        const QPoint view(std::clamp(e.mapFromScene(at).x(), 0, visible.right()),
                          std::clamp(e.mapFromScene(at).y(), 0, visible.bottom()));
        QDragEnterEvent enter(view, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(e.viewport(), &enter);
        QDragMoveEvent move(view, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(e.viewport(), &move);
        QDropEvent drop(QPointF(view), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(e.viewport(), &drop);
        break;
    }
    case PressPort: {
        const WireItem* drawn = e.wireInProgress();
        QList<QPoint> ports;
        for (const BlockItem* b : blocks) {
            for (const PortItem& port : b->ports()) {
                if (port.number > 0 &&
                    (!port.isInput || port.number <= int(b->entry()->inputNames().size())) &&
                    (!drawn || op.x == 0 || port.isInput != drawn->firstEnd().isInput)) {
                    ports << (b->pos() + port.stub->line().p2()).toPoint();
                }
            }
        }
        if (!ports.isEmpty()) {
            click(e, ports[op.n % ports.size()] + by, button, shift);
        }
        break;
    }
    case Click:
        click(e, at, button, shift);
        break;
    case MoveMouse:
        mouse(e, QEvent::MouseMove, at);
        break;
    case Escape:
        key(Qt::Key_Escape);
        break;
    case DeleteKey:
        key(op.n % 2 ? Qt::Key_Backspace : Qt::Key_Delete);
        break;
    case DragBlock:
        if (block) {
            drag(e, outlineCentre(block), outlineCentre(block) + by, shift);
        }
        break;
    case DragHandle: {
        QList<QPair<WireItem*, int>> handles;
        for (WireItem* wire : allWires(e)) {
            for (int k = 0; k < wire->handleCount(); ++k) {
                handles.append({wire, k});
            }
        }
        if (!handles.isEmpty()) {
            const auto& [wire, k] = handles[op.n % handles.size()];
            drag(e, wire->handleRect(k).center(), wire->handleRect(k).center() + by);
        }
        break;
    }
    case Arrow:
        return arrow(op);
    case Band:
        drag(e, at, at + by, shift);
        break;
    case ClickWire: {
        QList<QPoint> points;
        for (const WireItem* wire : allWires(e)) {
            if (wire->secondEnd().block) {
                const QLine segment = wire->segment(op.x % wire->segmentCount());
                points << (segment.p1() + segment.p2()) / 2;
            }
        }
        if (!points.isEmpty()) {
            click(e, points[op.n % points.size()]);
        }
        break;
    }
    case SelectAll:
    case Cut:
    case Copy:
    case Paste:
    case Undo: {
        const std::map<Kind, int> keys{{SelectAll, Qt::Key_A},
                                       {Cut, Qt::Key_X},
                                       {Copy, Qt::Key_C},
                                       {Paste, Qt::Key_V},
                                       {Undo, Qt::Key_Z}};
        key(keys.at(op.kind), Qt::ControlModifier);
        break;
    }
    case EditVars:
        return editVariables(op);
    case Pan:
        drag(e, at, at + by, {}, Qt::RightButton);
        break;
    case SaveReopen: {
        const QString path = scratch_ + "/reopened.des";
        if (window_->designPath().isNull()) {
            QFile::remove(path); // no question about replacing it
            script_.fileAnswers.push_back(path);
        }
        key(Qt::Key_S, Qt::ControlModifier);
        if (e.isModified()) {
            return "save: Save left the design modified";
        }
        key(Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!openWindows().isEmpty()) {
            return "close: the saved window did not close";
        }
        window_ = nullptr;
        openWindow(path);
        return started() ? QString() : "reopen: the saved design did not open";
    }
    }
    return {};
}

QString EditingSession::arrow(const Op& op) {
    static const int keys[] = {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down};
    static const QPoint directions[] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    const QPoint step = directions[op.n % 4] * (op.flags & Shift ? 10 : 1);
    const QList<BlockItem*> selection = editor().selection();
    QList<QPointF> before;
    QRect box;
    for (const BlockItem* block : selection) {
        before << block->pos();
        box = box.isNull() ? outlineBox(block) : box.united(outlineBox(block));
    }
    key(keys[op.n % 4], op.flags & Shift ? Qt::ShiftModifier : Qt::NoModifier);
    // The selection moves by the step, and back to the left and top edges when it is beyond.
    const QPoint moved(std::max(box.left() + step.x(), 0) - box.left(),
                       std::max(box.top() + step.y(), 0) - box.top());
    for (int i = 0; i < selection.size(); ++i) {
        if (selection[i]->pos() != before[i] + QPointF(moved)) {
            return QString("arrow: a block moved to (%1, %2), not by (%3, %4)")
                .arg(selection[i]->x())
                .arg(selection[i]->y())
                .arg(moved.x())
                .arg(moved.y());
        }
    }
    return {};
}

QString EditingSession::editVariables(const Op& op) {
    const std::vector<BlockItem*> blocks = editor().canvas()->blocks();
    if (blocks.empty()) {
        return {};
    }
    const QPoint at = outlineCentre(blocks[std::size_t(op.n) % blocks.size()]);
    BlockItem* edited = nullptr; // the block under the pointer is the one whose window opens
    for (QGraphicsItem* item : editor().canvas()->items(QPointF(at))) {
        if (item->type() == BlockItem::Type) {
            edited = static_cast<BlockItem*>(item);
            break;
        }
    }
    const auto valueOf = [&edited](const QString& variable) {
        const char* value = edited ? edited->variable(variable.toLatin1()) : nullptr;
        return QByteArray(value ? value : "");
    };
    const QString typed = QString::fromLatin1(typedValues[op.y % int(std::size(typedValues))]);
    QString name;
    QByteArray old;
    script_.dialogAnswers.push_back([&](QDialog& dialog) {
        dialog.show();
        QTreeWidget* list = static_cast<VarEditDialog&>(dialog).list();
        if (list->topLevelItemCount() > 0) {
            const int row = op.x % list->topLevelItemCount();
            const QPoint cell = list->visualRect(list->model()->index(row, 1)).center();
            // A person's double click: click, double click, release.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, cell);
            if (auto* line =
                    qobject_cast<QLineEdit*>(list->itemWidget(list->topLevelItem(row), 1))) {
                name = list->topLevelItem(row)->text(0);
                old = valueOf(name);
                line->selectAll();
                QTest::keyClick(line, Qt::Key_Delete);
                QTest::keyClicks(line, typed);
                if (op.dx == 2) {
                    QTest::keyClick(line, Qt::Key_Return);
                    QCoreApplication::processEvents(); // the cell takes the text in a queued call
                }
            }
        }
        if (op.dx == 2) {
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            QTest::mouseClick(
                dialog.findChild<QPushButton*>(op.dx == 1 ? "cancelButton" : "okButton"),
                Qt::LeftButton);
        }
        return dialog.result();
    });
    if (op.flags & Right) {
        script_.menuAnswers = {"&Edit vars"};
        mouse(editor(), QEvent::MouseButtonPress, at,
              Qt::RightButton); // the menu takes the release
    } else {
        mouse(editor(), QEvent::MouseButtonPress, at);
        mouse(editor(), QEvent::MouseButtonRelease, at);
        mouse(editor(), QEvent::MouseButtonDblClick, at);
        mouse(editor(), QEvent::MouseButtonRelease, at);
    }
    script_.dialogAnswers.clear();
    // A window manager gives the activation back when the dialog closes; offscreen, nothing does.
    if (QApplication::activeWindow() != window_) {
        window_->activateWindow();
        QCoreApplication::processEvents();
    }
    const QByteArray now = valueOf(name);
    if (!name.isEmpty() && (op.dx == 1 ? now != old : now != typed.toLatin1())) {
        return QString("variables: %1 is \"%2\" after %3")
            .arg(name, QString::fromLatin1(now), QStringList{"Ok", "Cancel", "Return"}[op.dx]);
    }
    return {};
}

QString EditingSession::capture(DesignState& state) {
    CanvasHandler& e = editor();
    const QRect geometry(40, 40, 800, 600);
    const QString first = scratch_ + "/design.des";
    const QString second = scratch_ + "/again.des";
    // As if the person saved after every operation: the next one that changes the design must
    // mark it modified again.
    if (!e.saveDesign(first, geometry)) {
        return "save: the design could not be written";
    }
    state.design = readAll(first);
    state.output = generated(window_->definitions(), e.generatorViews(), scratch_ + "/editor-");
    // What the file gives depends on its bytes alone, and most operations leave them as they were.
    if (state.design == checkedFile_.design) {
        return state.output == checkedFile_.output
                   ? QString()
                   : "generate: draftel-gen on the saved file generates other text than the editor";
    }
    // A cleared editor stands for a fresh window: making a view for each check would cost most
    // of the run.
    DefinitionSet& definitions = parsedDefinitions(definitionPath_);
    if (!reloaded_) {
        reloaded_ = std::make_unique<CanvasHandler>();
        for (auto& entry : makeCatalogue(definitions)) {
            reloaded_->addBlockType(std::move(entry));
        }
    }
    reloaded_->clear();
    DesignLoadContext context;
    context.definitionsDirectory = definitionsDirectory();
    context.loadDefinitions = [this](const QString& path) {
        reloaded_->setDefinitionFileName(QFileInfo(path).fileName());
        return QString();
    };
    if (!reloaded_->loadDesign(first, context).fine() || !reloaded_->saveDesign(second, geometry)) {
        return "reload: the saved design did not load";
    }
    if (readAll(second) != state.design) {
        return "reload: saving the reloaded design gave other bytes";
    }
    RecordedDesign recorded;
    if (const DesignVerdict verdict = recorded.load(first, definitionsDirectory());
        !verdict.fine()) {
        return "draftel-gen: " + verdict.message;
    }
    checkedFile_ = {state.design,
                    generated(recorded.definitions(), recorded.blocks(), scratch_ + "/gen-")};
    return checkedFile_.output == state.output
               ? QString()
               : "generate: draftel-gen on the saved file generates other text than the editor";
}
