#pragma once

namespace strovane::update {

class TCustomComm;

// The five special characters of a port's device control block. Setting one re-applies the
// owner's line settings at once (while its port is open), even when the value is unchanged.
class TCommEventChars {
public:
    explicit TCommEventChars(TCustomComm* Owner);

    // Copies the five characters; applies nothing to the port.
    void Assign(const TCommEventChars& Source);

    char XonChar() const { return FXonChar; }
    char XoffChar() const { return FXoffChar; }
    char ErrorChar() const { return FErrorChar; }
    char EofChar() const { return FEofChar; }
    char EvtChar() const { return FEvtChar; }
    void SetXonChar(char Value) { SetEventChar(1, Value); }
    void SetXoffChar(char Value) { SetEventChar(2, Value); }
    void SetErrorChar(char Value) { SetEventChar(3, Value); }
    void SetEofChar(char Value) { SetEventChar(4, Value); }
    void SetEvtChar(char Value) { SetEventChar(5, Value); }

    // Stores the character of Index (1 Xon, 2 Xoff, 3 Error, 4 Eof, 5 Evt), then updates the owner.
    void SetEventChar(int Index, char Value);

private:
    TCustomComm* FOwner;
    char FXonChar = 17;
    char FXoffChar = 19;
    char FErrorChar = 0;
    char FEofChar = 0;
    char FEvtChar = 0;
};

} // namespace strovane::update
