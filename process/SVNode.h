#pragma once

// Base of the program's own node objects (movie record, authoring engine, process jobs).
class SVNode {
public:
    virtual ~SVNode() = default;
};
