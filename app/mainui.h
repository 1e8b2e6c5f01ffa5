#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <memory>

#include "definitions/definitionset.h"

class CanvasHandler;
class ToolboxEntry;
class QAction;
class QPrinter;
class QSplitter;
class QToolBox;
class QWidget;

// One design window: the toolbox and the design canvas side by side under a menu bar.
class MainUI : public QMainWindow {
    Q_OBJECT
public:
    explicit MainUI(QWidget* parent = nullptr, const char* name = nullptr,
                    Qt::WindowFlags flags = {});
    ~MainUI() override;

    CanvasHandler* canvasHandler() const { return canvas_; }
    QToolBox* toolbox() const { return toolbox_; }
    QSplitter* splitter() const { return splitter_; }

    // Absolute path of the design file; null until the design has a file.
    const QString& designPath() const { return designPath_; }

    // Opens the design file into this window; 0 on success (also for a damaged design, shown
    // with a warning). A design that cannot be opened is reported and the window closes.
    int openDesign(const QString& path);
    // Opens a recovery copy into this window as the design at designPath (empty: never saved),
    // marked modified; nothing is written anywhere. 0 on success.
    int recoverDesign(const QString& copyPath, const QString& designPath);
    // Reads the definition file into this window and fills the toolbox; 0 on success. On
    // failure it shows the error and closes the window.
    int loadDefinitions(const QString& path);

    // The block types of the loaded definition file, in name order, as the canvas editor (their
    // one owner) holds them.
    QList<ToolboxEntry*> catalogue() const;
    const DefinitionSet& definitions() const { return definitions_; }

    // The toolbox page of a category, made on first use.
    QWidget* categoryPage(const QString& name);
    // Adds the block type's button to its category's page.
    void addToolboxButton(ToolboxEntry* entry);

    // The menu entry whose text (with its & marks) is given, or nullptr.
    QAction* menuAction(const QString& text) const;

signals:
    // The close question let the window go (or there was nothing to ask).
    void closeAccepted();

public slots:
    void newView();
    void openView();
    void saveView();
    bool saveAsView();
    void openPrefs();
    void quitApp();
    void init();
    void clear();
    void undo();
    void cut();
    void copy();
    void paste();
    void deleteSelected();
    void selectAll();
    void generate();
    // Prints the whole canvas on framed, numbered pages.
    void print();
    // Writes the design as a PNG, SVG or PDF picture.
    void exportImage();
    // The splash image, then the About box.
    void help();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenus();
    // loadDefinitions without the message: empty on success, else the definition error.
    QString readDefinitions(const QString& path);
    // Loads the design, shows what went wrong and closes the window when it cannot be opened;
    // 0 unless it was refused.
    int loadDesignFile(const QString& path);
    bool writeDesign(const QString& path);
    void setDesignTitle();

    CanvasHandler* canvas_ = nullptr;
    QHash<QString, QWidget*> toolboxPages_;
    QSplitter* splitter_ = nullptr;
    QToolBox* toolbox_ = nullptr;
    QString designPath_;
    // Made on the first Print and kept, so the print dialog remembers the person's choices.
    struct PrinterDeleter {
        void operator()(QPrinter* printer) const;
    };
    std::unique_ptr<QPrinter, PrinterDeleter> printer_;
    DefinitionSet definitions_;
};

// The "&New" command and start-up's "&New" answer: asks for a definition file in the
// definitions directory and opens a window on it.
enum class NewDesignResult { Opened, Failed, Cancelled };
NewDesignResult newDesignFromDefinitionFile(QWidget* messageParent);
