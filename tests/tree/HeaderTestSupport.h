// A tree stand-in for the column and header tests: fixed geometry, a log of the header's notifications, and
// a header with columns of given widths.
#pragma once

#include "tree/Header.h"

#include <map>
#include <string>
#include <vector>

namespace tarvola::test {

class FakeHeaderTree : public IHeaderTree {
public:
    bool window = true;
    int clientWidth = 500;
    int offsetX = 0;
    bool loading = false;
    std::map<TColumnIndex, int> widest; // GetMaxColumnWidth answers
    std::vector<std::string> log;

    bool HasWindow() const override { return window; }
    int ClientWidth() const override { return clientWidth; }
    int OffsetX() const override { return offsetX; }
    bool Loading() const override { return loading; }
    int GetMaxColumnWidth(TColumnIndex column) override { return widest[column]; }
    void DoColumnResize(TColumnIndex column) override { log.push_back("Resize " + std::to_string(column)); }
    void DoHeaderClick(TColumnIndex column, TMouseButton, TShiftState shift, int x, int y) override {
        log.push_back("Click " + std::to_string(column) + Place(x, y) +
                      ((shift & ssDouble) != 0 ? " double" : ""));
    }
    void DoHeaderDblClick(TColumnIndex column, TMouseButton, TShiftState, int x, int y) override {
        log.push_back("DblClick " + std::to_string(column) + Place(x, y));
    }
    void DoHeaderDragged(TColumnIndex column, int oldPosition) override {
        log.push_back("Dragged " + std::to_string(column) + " from " + std::to_string(oldPosition));
    }
    void DoHeaderDraggedOut(TColumnIndex column, TVTPoint) override {
        log.push_back("DraggedOut " + std::to_string(column));
    }

private:
    static std::string Place(int x, int y) { return " at " + std::to_string(x) + "," + std::to_string(y); }
};

// A header over a FakeHeaderTree with one column per width.
struct HeaderFixture {
    FakeHeaderTree tree;
    TVTHeader header{tree};
    TVirtualTreeColumns& columns = header.Columns();

    explicit HeaderFixture(std::vector<int> widths = {}) {
        for (int width : widths)
            columns.Add().SetWidth(width);
        tree.log.clear();
    }
    std::vector<int> Widths() const {
        std::vector<int> result;
        for (int i = 0; i < columns.Count(); ++i)
            result.push_back(columns[i].Width());
        return result;
    }
    std::vector<int> Lefts() const {
        std::vector<int> result;
        for (int i = 0; i < columns.Count(); ++i)
            result.push_back(columns[i].Left());
        return result;
    }
};

} // namespace tarvola::test
