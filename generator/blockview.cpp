#include "generator/blockview.h"

BlockView::~BlockView() = default;
