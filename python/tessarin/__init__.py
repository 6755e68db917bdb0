# The package's names come from the extension module over the analysis engine, its docstring
# (help(tessarin)) too.

from ._tessarin import (
    STATISTICS,
    DamagedLine,
    Deviation,
    Dynamic,
    Run,
    __doc__,
    __version__,
    deviation,
    dynamic,
    join,
    read_dat,
)

__all__ = [
    "STATISTICS",
    "DamagedLine",
    "Deviation",
    "Dynamic",
    "Run",
    "deviation",
    "dynamic",
    "join",
    "read_dat",
]
