/*
 * What the process holds, counted in ways that work under Wine, whose GetGuiResources,
 * GetProcessHandleCount and PrivateUsage all report 0.
 */
#pragma once

#include <cstddef>
#include <string>

struct Resources {
    int GdiObjects = 0;            // live entries of the process's GDI handle table
    int Windows = 0;               // top-level windows of this process
    unsigned LowestFreeHandle = 0; // kernel handles go to the lowest free slot: a leak moves it
    size_t HeapBytes = 0;          // bytes in use in all of the process's heaps
    size_t WorkingSet = 0;         // as the system reports it; noisy, for information

    std::string Text() const;
};

Resources CountResources();
