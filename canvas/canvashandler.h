#pragma once

#include <QGraphicsView>
#include <QString>

class QGraphicsScene;
class QMenu;

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
    QString definitionFileName_ = QStringLiteral("unset def file");
    QString outputFileName_ = QStringLiteral("out.txt");
    bool modified_ = false;
};
