#include "shapes/defaultshapetext.h"
#include "shapes/shapebounds.h"
#include "shapes/shapeinterpreter.h"

#include <QStringList>
#include <QtTest/QtTest>

namespace {

QString point(QPoint p) {
    return QString("%1,%2").arg(p.x()).arg(p.y());
}

// Writes every event down as one line of text, so a whole run compares at once.
class RecordingSink : public ShapeSink {
public:
    QStringList events;

    void begin() override { events << "begin"; }
    void segment(QPoint from, QPoint to) override {
        events << QString("segment %1 %2").arg(point(from), point(to));
    }
    void port(QPoint from, QPoint to, bool isInput, int number) override {
        events << QString("%1 %2 %3 %4")
                      .arg(isInput ? "in" : "out", point(from), point(to))
                      .arg(number);
    }
    void end() override { events << "end"; }
};

QStringList events(QByteArrayView text) {
    RecordingSink sink;
    interpretShape(text, sink);
    return sink.events;
}

QRect bounds(QByteArrayView text, bool includePorts) {
    ShapeBounds sink(includePorts);
    interpretShape(text, sink);
    return sink.rect();
}

} // namespace

class TestShapes : public QObject {
    Q_OBJECT
private slots:
    void emptyTextIsTheOriginAlone() {
        const QStringList expected{"begin", "segment 0,0 0,0", "end"};
        QCOMPARE(events(""), expected);
        QCOMPARE(events(static_cast<const char*>(nullptr)), expected);
        QCOMPARE(bounds("", true), QRect(0, 0, 1, 1));
    }

    void movesSegmentsAndTheClosingEdge() {
        QCOMPARE(events("e.s.w"), (QStringList{"begin", "segment 0,0 10,0", "segment 10,0 10,10",
                                               "segment 10,10 0,0", "end"}));
        // Moves after the last full stop draw nothing; the outline closes from the last point.
        QCOMPARE(events("nn.wwww"),
                 (QStringList{"begin", "segment 0,0 0,-20", "segment 0,-20 0,0", "end"}));
    }

    void stepsAreReadGreedily() {
        QCOMPARE(events("j15e.j007s."),
                 (QStringList{"begin", "segment 0,0 15,0", "segment 15,0 15,7", "segment 15,7 0,0",
                              "end"}));
        // "j" with no digits sets the step to 0, and later moves stay put.
        QCOMPARE(events("e.jes.x5e."),
                 (QStringList{"begin", "segment 0,0 10,0", "segment 10,0 10,0", "segment 10,0 10,0",
                              "segment 10,0 0,0", "end"}));
    }

    void portsByLetterCaseAndNumber() {
        QCOMPARE(events("L"), (QStringList{"begin", "out 0,0 -10,0 0", "segment 0,0 0,0", "end"}));
        QCOMPARE(events("l12"),
                 (QStringList{"begin", "in 0,0 -10,0 12", "segment 0,0 0,0", "end"}));
        // Stubs keep length 10 whatever the step, and do not move the current point.
        QCOMPARE(events("j30eR1r02U003uDd9e."),
                 (QStringList{"begin", "out 30,0 40,0 1", "in 30,0 40,0 2", "out 30,0 30,-10 3",
                              "in 30,0 30,-10 0", "out 30,0 30,10 0", "in 30,0 30,10 9",
                              "segment 0,0 60,0", "segment 60,0 0,0", "end"}));
    }

    void otherCharactersAreIgnored() {
        QCOMPARE(events("xNESW 42\n\t\xff\x80-e.J9"),
                 (QStringList{"begin", "segment 0,0 10,0", "segment 10,0 0,0", "end"}));
    }

    void hugeNumbersSaturate() {
        QCOMPARE(events("j99999999999999999999999e."),
                 (QStringList{"begin", "segment 0,0 100000,0", "segment 100000,0 0,0", "end"}));
        // All the digits belong to the number, so the next letter is read as a letter.
        QCOMPARE(events("l4294967297R99999999999999999999e."),
                 (QStringList{"begin", "in 0,0 -10,0 100000", "out 0,0 10,0 100000",
                              "segment 0,0 10,0", "segment 10,0 0,0", "end"}));
        QCOMPARE(events("j100000e."), events("j100001e."));
    }

    void coordinatesNeitherOverflowNorRunAway() {
        // 30000 steps of 100000 pass 2^31 on the way out; the walk must come back exactly.
        QByteArray text = "j100000" + QByteArray(30000, 'e') + "." + QByteArray(30000, 'w') + "s.";
        QCOMPARE(events(text),
                 (QStringList{"begin", "segment 0,0 1000000,0", "segment 1000000,0 0,100000",
                              "segment 0,100000 0,0", "end"}));
        // Reported points stop at the limit; stubs still have their length beyond it.
        text = "j100000" + QByteArray(20, 'n') + QByteArray(20, 'w') + "U.";
        QCOMPARE(events(text), (QStringList{"begin", "out -1000000,-1000000 -1000000,-1000010 0",
                                            "segment 0,0 -1000000,-1000000",
                                            "segment -1000000,-1000000 0,0", "end"}));
        QCOMPARE(bounds(text, true), QRect(QPoint(-1000000, -1000010), QPoint(0, 0)));
    }

    void boundsArePixelInclusiveAndHoldTheOrigin() {
        const QRect rightBelow = bounds("j5ss.ee.", false);
        QCOMPARE(rightBelow, QRect(QPoint(0, 0), QPoint(10, 10)));
        QCOMPARE(rightBelow.width(), 11);
        QCOMPARE(bounds("j5ww.n.", false), QRect(QPoint(-10, -5), QPoint(0, 0)));

        QCOMPARE(bounds("j20sLs.ee.u", false), QRect(QPoint(0, 0), QPoint(40, 40)));
        QCOMPARE(bounds("j20sLs.ee.u", true), QRect(QPoint(-10, 0), QPoint(40, 40)));
        // Only outline edges widen the rectangle without ports, not a stub sticking out.
        QCOMPARE(bounds("eeD", false), QRect(0, 0, 1, 1));

        // begin forgets the previous shape.
        ShapeBounds reused(true);
        interpretShape("j50ss.", reused);
        reused.begin();
        QCOMPARE(reused.rect(), QRect(QPoint(0, 0), QPoint(-1, -1)));
        interpretShape("w.", reused);
        QCOMPARE(reused.rect(), QRect(QPoint(-10, 0), QPoint(0, 0)));
    }

    void defaultShapeTexts() {
        QCOMPARE(defaultShapeText(2, 1), QByteArray("j20sl01sl02s.ee.nnR01n."));
        QCOMPARE(defaultShapeText(0, 0), QByteArray("j20s.ee.n."));
        QCOMPARE(defaultShapeText(3, 0), QByteArray("j20sl01sl02sl03s.ee.nnnn."));
        QCOMPARE(defaultShapeText(1, 2), QByteArray("j20sl01ss.ee.nR02nR01n."));
        QCOMPARE(defaultShapeText(-4, 0), defaultShapeText(0, 0));

        QCOMPARE(events(defaultShapeText(2, 1)),
                 (QStringList{"begin", "in 0,20 -10,20 1", "in 0,40 -10,40 2", "segment 0,0 0,60",
                              "segment 0,60 40,60", "out 40,20 50,20 1", "segment 40,60 40,0",
                              "segment 40,0 0,0", "end"}));
        QCOMPARE(bounds(defaultShapeText(2, 1), true), QRect(QPoint(-10, 0), QPoint(50, 60)));
        QCOMPARE(bounds(defaultShapeText(0, 0), false), QRect(0, 0, 41, 21));
    }

    void defaultShapeTextBeyondTwoDigits() {
        const QByteArray text = defaultShapeText(0, 120);
        QVERIFY(text.contains("nR100nR99n"));
        QVERIFY(text.endsWith("nR01n."));
        RecordingSink sink;
        interpretShape(text, sink);
        QVERIFY(sink.events.contains("out 40,2400 50,2400 120"));
        QVERIFY(sink.events.contains("out 40,2000 50,2000 100"));
    }
};

QTEST_GUILESS_MAIN(TestShapes)
#include "test_shapes.moc"
