#pragma once

#include <functional>
#include <memory>

class TControllerSession;

// What brevonctl runs a command on: a controller session with whatever keeps it going (the
// USB adapter, or the simulated adapter and controller with their clock).
class TCtlRig {
public:
    virtual ~TCtlRig() = default;
    virtual TControllerSession& Session() = 0;

    // The KORVEL-CONNECT adapter through libusb.
    static std::unique_ptr<TCtlRig> Hardware();
    // The simulated adapter and controller, moved by real time, through the real link.
    static std::unique_ptr<TCtlRig> Demo();
};

// Makes the rig of a run; `demo` asks for the simulated one.
using TCtlRigFactory = std::function<std::unique_ptr<TCtlRig>(bool demo)>;
