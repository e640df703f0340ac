#!/usr/bin/env python3
"""Writes the installer's fragment for templates\\: one component per file of the build's
template folder, in its folders, all in the component group "Templates".

Usage: templates_wxs.py TEMPLATES_FOLDER OUT.wxs

Sources are named as $(var.Bin)/templates/..., the Bin that Kitwright.wxs uses. Component
GUIDs come from the file's path, so a file keeps its GUID from one build to the next.
"""
import hashlib
import os
import re
import sys
import uuid
from xml.sax.saxutils import quoteattr

# The namespace of the templates' component GUIDs; changing it orphans installed files.
GUID_NAMESPACE = uuid.UUID("6429D93E-4502-4D1E-A11B-030891D2D0DD")


def identifier(kind, path):
    """A WiX identifier for a path: readable, and unique through a hash of the whole path."""
    readable = re.sub(r"[^A-Za-z0-9_.]", "_", path)[-40:]
    digest = hashlib.sha1(path.encode("utf-8")).hexdigest()[:8]
    return f"{kind}_{readable}_{digest}"


def guid(path):
    return str(uuid.uuid5(GUID_NAMESPACE, path)).upper()


def folder_lines(root, relative, depth, components):
    lines = []
    indent = "  " * depth
    names = sorted(os.listdir(os.path.join(root, relative)))
    if not names and relative:
        # An empty folder ships too; a component of its own creates it.
        component = identifier("tpl", relative)
        lines.append(f"{indent}<Component Id={quoteattr(component)} Guid={quoteattr(guid(relative))}>")
        lines.append(f"{indent}  <CreateFolder/>")
        lines.append(f"{indent}</Component>")
        components.append(component)
    for name in names:
        path = f"{relative}/{name}" if relative else name
        if os.path.isdir(os.path.join(root, path)):
            lines.append(f"{indent}<Directory Id={quoteattr(identifier('dir', path))} "
                         f"Name={quoteattr(name)}>")
            lines += folder_lines(root, path, depth + 1, components)
            lines.append(f"{indent}</Directory>")
            continue
        component = identifier("tpl", path)
        source = f"$(var.Bin)/templates/{path}"
        lines.append(f"{indent}<Component Id={quoteattr(component)} Guid={quoteattr(guid(path))}>")
        lines.append(f"{indent}  <File Id={quoteattr(identifier('file', path))} "
                     f"Name={quoteattr(name)} Source={quoteattr(source)} KeyPath=\"yes\"/>")
        lines.append(f"{indent}</Component>")
        components.append(component)
    return lines


def main(root, out):
    components = []
    body = folder_lines(root, "", 3, components)
    if not components:
        sys.exit(f"templates_wxs: no files in {root}")
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             "<!-- Written by templates_wxs.py from the build's template folder. -->",
             '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
             "  <Fragment>",
             '    <DirectoryRef Id="TEMPLATESDIR">',
             *body,
             "    </DirectoryRef>",
             '    <ComponentGroup Id="Templates">',
             *(f"      <ComponentRef Id={quoteattr(c)}/>" for c in components),
             "    </ComponentGroup>",
             "  </Fragment>",
             "</Wix>"]
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
