# Sourced by the release tests: a throwaway code-signing CA and certificate, made at test time.
#   qv_test_pki DIR NAME    writes DIR/NAME-ca.pem, DIR/NAME-signer.pem and DIR/NAME-signer.key
qv_test_pki() {
  local dir=$1 name=$2 ext
  mkdir -p "$dir"
  ext=$dir/$name-ext.cnf
  cat >"$ext" <<'CNF'
[signer]
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=codeSigning
subjectKeyIdentifier=hash
authorityKeyIdentifier=keyid
CNF
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quorvane Test Code Signing CA ($name)" \
    -keyout "$dir/$name-ca.key" -out "$dir/$name-ca.pem" -config /etc/ssl/openssl.cnf \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" >/dev/null 2>&1 &&
  openssl req -newkey rsa:2048 -nodes -subj "/CN=Quorvane Test Signer ($name)" \
    -keyout "$dir/$name-signer.key" -out "$dir/$name-signer.csr" >/dev/null 2>&1 &&
  openssl x509 -req -in "$dir/$name-signer.csr" -CA "$dir/$name-ca.pem" -CAkey "$dir/$name-ca.key" \
    -CAcreateserial -days 2 -extfile "$ext" -extensions signer -out "$dir/$name-signer.pem" >/dev/null 2>&1
}

# Copies FILE to OUT with one byte in the middle of the file flipped.
qv_flip_byte() {  # file out
  local size
  cp "$1" "$2"
  size=$(stat -c %s "$2")
  printf "$(printf '\\x%02x' $(( $(od -An -tu1 -j $((size / 2)) -N1 "$2") ^ 0xff )))" |
    dd of="$2" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
}
