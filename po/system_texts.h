// Texts the window shows that come from the system or from TinyXML, not
// from our sources: listed here only so that scripts/update-po.sh puts them
// into the catalogs (the file is never compiled). The file layer lower-cases
// the system's error texts' first letter.
N_("no such file or directory")
N_("permission denied")
N_("operation not permitted")
N_("file exists")
N_("is a directory")
N_("not a directory")
N_("no space left on device")
N_("read-only file system")
N_("disk quota exceeded")
N_("too many levels of symbolic links")
N_("file name too long")
N_("input/output error")
N_("device or resource busy")
N_("Failed to open file")
N_("Error parsing Element.")
N_("Failed to read Element name")
N_("Error reading Element value.")
N_("Error reading Attributes.")
N_("Error: empty tag.")
N_("Error reading end tag.")
N_("Error parsing Unknown.")
N_("Error parsing Comment.")
N_("Error parsing Declaration.")
N_("Error document empty.")
N_("Error null (0) or unexpected EOF found in input stream.")
N_("Error parsing CDATA.")
// The toolkit's stock button labels of the questions, in the window's
// language also where the toolkit's own catalog is not installed (Windows).
N_("&Yes")
N_("&No")
