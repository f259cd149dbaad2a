#!/usr/bin/python3
"""Reads .eml files as a mail program would and prints them as JSON, one object per file, for the
tests of nrw send: decoded headers, the text body, each attachment's name and SHA-256, and the
longest line of the raw message."""
import email
import email.policy
import hashlib
import json
import sys


def read(path):
    with open(path, "rb") as f:
        raw = f.read()
    message = email.message_from_bytes(raw, policy=email.policy.default)
    body = message.get_body(preferencelist=("plain",))
    attachments = []
    for part in message.iter_attachments():
        content = part.get_payload(decode=True)
        attachments.append({"name": part.get_filename(),
                            "type": part.get_content_type(),
                            "sha256": hashlib.sha256(content).hexdigest()})
    to = message["To"]
    return {
        "file": path,
        "from": str(message["From"]),
        "to": to.addresses[0].addr_spec if to else "",
        "to_name": to.addresses[0].display_name if to else "",
        "subject": str(message["Subject"]),
        "message_id": str(message["Message-ID"]),
        "date": str(message["Date"]),
        "body": body.get_content() if body is not None else "",
        "attachments": attachments,
        "longest_line": max(len(line) for line in raw.split(b"\r\n")),
        "bare_lf": raw.replace(b"\r\n", b"").count(b"\n"),
        "defects": len(message.defects),
    }


print(json.dumps([read(path) for path in sys.argv[1:]], ensure_ascii=False))
