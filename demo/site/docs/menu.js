// A script file: Gleanery downloads it as a file.
document.title = document.title + " (demo)";
