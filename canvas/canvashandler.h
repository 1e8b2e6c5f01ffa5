#pragma once

#include <QGraphicsView>
#include <QString>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QGraphicsScene;
class QMenu;
class ToolboxEntry;

// The design canvas of one window: a scrolling view onto the items of the design.
class CanvasHandler : public QGraphicsView {
    Q_OBJECT
public:
    explicit CanvasHandler(QWidget* parent = nullptr, const char* name = nullptr,
                           Qt::WindowFlags flags = {});
    ~CanvasHandler() override;

    QGraphicsScene* canvas() const { return scene_; }
    QSize canvasSize() const;
    void resizeCanvas(int width, int height);

    bool isModified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    const QString& definitionFileName() const { return definitionFileName_; }
    void setDefinitionFileName(const QString& name) { definitionFileName_ = name; }
    const QString& outputFileName() const { return outputFileName_; }
    void setOutputFileName(const QString& name) { outputFileName_ = name; }

    QMenu* contextMenu() const { return contextMenu_; }

    // Distinguishes this editor from those of all other windows; never 0. Drags from a toolbox
    // carry it so that a block type can only be dropped on its own window's canvas.
    quint32 identity() const { return identity_; }

    // The block types a drop may create; the editor owns them.
    void addBlockType(std::unique_ptr<ToolboxEntry> entry);
    // The first block type whose name equals name byte for byte, or nullptr.
    ToolboxEntry* findBlockType(const std::string& name) const;

    // Escape and the arrow keys, handed over by the window with the modifiers held.
    void keyPress(int key, Qt::KeyboardModifiers state);
    // Removes every item from the canvas.
    void clear();

public slots:
    void objMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QGraphicsScene* scene_;
    QMenu* contextMenu_;
    std::vector<std::unique_ptr<ToolboxEntry>> blockTypes_;
    std::unordered_map<std::string, ToolboxEntry*> blockTypesByName_; // first of each name
    quint32 identity_;
    QString definitionFileName_ = QStringLiteral("unset def file");
    QString outputFileName_ = QStringLiteral("out.txt");
    bool modified_ = false;
};
