#include "update/serial_event_chars.h"

#include "update/serial_port.h"

namespace strovane::update {

TCommEventChars::TCommEventChars(TCustomComm* Owner) : FOwner(Owner) {}

void TCommEventChars::Assign(const TCommEventChars& Source) {
    FXonChar = Source.FXonChar;
    FXoffChar = Source.FXoffChar;
    FErrorChar = Source.FErrorChar;
    FEofChar = Source.FEofChar;
    FEvtChar = Source.FEvtChar;
}

void TCommEventChars::SetEventChar(int Index, char Value) {
    switch (Index) {
    case 1:
        FXonChar = Value;
        break;
    case 2:
        FXoffChar = Value;
        break;
    case 3:
        FErrorChar = Value;
        break;
    case 4:
        FEofChar = Value;
        break;
    case 5:
        FEvtChar = Value;
        break;
    default:
        return;
    }
    if (FOwner)
        FOwner->UpdateDataControlBlock();
}

} // namespace strovane::update
