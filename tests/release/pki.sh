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

# A time-stamping certificate from the CA of qv_test_pki DIR NAME, and the `openssl ts`
# configuration of a time-stamp authority that answers with it: DIR/NAME-tsa.cnf.
qv_test_tsa() {  # dir name
  local dir=$1 name=$2
  cat >"$dir/$name-tsa-ext.cnf" <<'CNF'
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=critical,timeStamping
CNF
  openssl req -newkey rsa:2048 -nodes -subj "/CN=Quorvane Test Time Stamps ($name)" \
    -keyout "$dir/$name-tsa.key" -out "$dir/$name-tsa.csr" >/dev/null 2>&1 &&
  openssl x509 -req -in "$dir/$name-tsa.csr" -CA "$dir/$name-ca.pem" -CAkey "$dir/$name-ca.key" \
    -CAcreateserial -days 2 -extfile "$dir/$name-tsa-ext.cnf" -out "$dir/$name-tsa.pem" >/dev/null 2>&1 || return 1
  echo 01 >"$dir/$name-tsa.serial"
  cat >"$dir/$name-tsa.cnf" <<CNF
[tsa]
default_tsa = tsa_config
[tsa_config]
serial = $dir/$name-tsa.serial
crypto_device = builtin
signer_cert = $dir/$name-tsa.pem
certs = $dir/$name-ca.pem
signer_key = $dir/$name-tsa.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.99999.1
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = yes
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
CNF
}

# Copies FILE to OUT with one byte in the middle of the file flipped.
qv_flip_byte() {  # file out
  local size
  cp "$1" "$2"
  size=$(stat -c %s "$2")
  printf "$(printf '\\x%02x' $(( $(od -An -tu1 -j $((size / 2)) -N1 "$2") ^ 0xff )))" |
    dd of="$2" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
}
