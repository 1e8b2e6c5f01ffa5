#pragma once

#include "designfile/designrecords.h"

#include <QString>

#include <cstddef>
#include <string>

class QIODevice;
class ToolboxEntry;

// How reading a design ended. The editor's windows and draftel-gen get the same verdict for the
// same file and differ only in how they present it.
struct DesignVerdict {
    enum class Kind {
        Fine,    // every record was read and checked
        Damaged, // the records before the damage were handed over; the rest of the file is lost
        Refused, // the file cannot be used as a design; drop whatever was handed over
    };
    Kind kind = Kind::Fine;
    // What is wrong, naming the design, ready to be shown; empty when fine.
    QString message;
    // Refused because the definition file the design names could not be used; the message is
    // then that definition file's error, and definitionPath where it was looked for.
    bool definitionError = false;
    QString definitionPath;

    bool fine() const { return kind == Kind::Fine; }
    bool damaged() const { return kind == Kind::Damaged; }
    bool refused() const { return kind == Kind::Refused; }
};

// Receives a design from readDesign in file order, and only what passed its checks.
class DesignReceiver {
public:
    virtual ~DesignReceiver();

    // Loads the definition file the design names, at this path in the definitions directory.
    // Returns an empty string on success, else the definition error to show.
    virtual QString loadDefinitions(const QString& path) = 0;
    // The loaded block type of this name (compared byte for byte), or nullptr.
    virtual ToolboxEntry* blockType(const std::string& name) = 0;
    // The settings record, once its definition file has loaded.
    virtual void settings(const SettingsRecord& record) = 0;
    // A block of a known type, with a number no earlier block had, variables of distinct names,
    // a finite depth and a finite position within the canvas's range. Blocks are counted from 0
    // in the order they are handed over.
    virtual void block(const BlockRecord& record, ToolboxEntry& type) = 0;
    // A wire between two blocks handed over before it (by their count), on ports that their
    // types' outlines draw, into an input that no other wire feeds; points within range.
    virtual void wire(const WireRecord& record, std::size_t firstBlock,
                      std::size_t secondBlock) = 0;
};

// Reads the design file and hands its contents to the receiver. The one place that decides
// what a design may hold:
// - the first record is the design header, else the file is not a design (refused);
// - one settings record comes before any block or wire (else refused: no definition file);
//   it names a definition file directly in the definitions directory, which must load
//   (else refused, as a definition error); a second settings record is damage;
// - blocks have known types (else refused: the definition file no longer matches the design),
//   unique numbers and distinct variable names (else damage);
// - wires join blocks read before them (else damage), on ports their types have (else refused),
//   with at most one wire per input (else damage);
// - a file that ends inside a record, or a record too short for its fields, is damage.
// Damage ends the walk there; damage before the settings record leaves nothing to show and
// refuses the file. Records of unknown kinds are skipped. Positions that are no number become
// 0 and huge ones are clamped; fractions stay as stored. A file that cannot be opened is refused
// with the system's reason.
DesignVerdict readDesign(const QString& path, const QString& definitionsDirectory,
                         DesignReceiver& receiver);
// The same from an input device that the caller opened for reading; messages call it name.
DesignVerdict readDesign(QIODevice& device, const QString& name,
                         const QString& definitionsDirectory, DesignReceiver& receiver);
