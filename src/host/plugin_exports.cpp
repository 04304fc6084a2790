// The plug-in's exported entry points. The Today screen and the tab host find them by name;
// exports.map keeps every other symbol of the library hidden.
