#include "definitions/toolboxentry.h"

#include "shapes/defaultshapetext.h"

ToolboxEntry::ToolboxEntry(const char* name, const char* shape, const char* category,
                           BlockDefinition* definition)
    : name_(name ? name : ""), category_(category ? category : "Misc"), definition_(definition) {
    if (shape) {
        shape_ = shape;
    }
}

ToolboxEntry::~ToolboxEntry() = default;

const std::string& ToolboxEntry::shape() {
    if (!shape_) {
        shape_ = defaultShapeText(int(inputNames_.size()), int(outputNames_.size())).toStdString();
    }
    return *shape_;
}
